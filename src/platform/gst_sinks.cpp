#include "platform/gst_sinks.h"

#include "platform/mdk_error.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

GstElement* SinkFromEnvironment(const char* variable) {
  const char* description = std::getenv(variable);
  if (description == nullptr || *description == '\0')
    return nullptr;
  GError* error = nullptr;
  GstElement* sink = gst_parse_bin_from_description(description, TRUE, &error);
  if (error != nullptr) {
    std::string message = std::string(variable) + " (\"" + description +
                          "\") is not a usable sink: " + error->message;
    g_error_free(error);
    if (sink != nullptr)
      gst_object_unref(sink);
    throw MdkOutputError(message);
  }
  return sink;
}

// Comparisons for gst_iterator_find_custom: 0 for a match.
gint CompareTypeName(gconstpointer item, gconstpointer typeName) {
  return std::strcmp(G_OBJECT_TYPE_NAME(g_value_get_object(static_cast<const GValue*>(item))),
                     static_cast<const char*>(typeName));
}

gint CompareFakeSink(gconstpointer item, gconstpointer) {
  GstElementFactory* factory =
      gst_element_get_factory(GST_ELEMENT(g_value_get_object(static_cast<const GValue*>(item))));
  const bool fake =
      factory != nullptr &&
      std::strcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fakesink") == 0;
  return fake ? 0 : 1;
}

// The first element that the iterator finds, borrowed: it lives as long as
// the bin it was found in.
GstElement* Find(GstIterator* elements, GCompareFunc compare, gconstpointer data) {
  GValue found = G_VALUE_INIT;
  GstElement* element = nullptr;
  if (gst_iterator_find_custom(elements, compare, &found, const_cast<gpointer>(data))) {
    element = GST_ELEMENT(g_value_get_object(&found));
    g_value_unset(&found);
  }
  gst_iterator_free(elements);
  return element;
}

// The sink that serves the output in this pipeline, if it has one yet.
GstElement* SinkIn(GstElement* pipeline, const GstOutput& output) {
  if (output.sink != nullptr)
    return output.sink;
  return Find(gst_bin_iterate_recurse(GST_BIN(pipeline)), CompareTypeName, output.automaticType);
}

} // namespace

GstOutput MakeOutput(GstOutputKind kind) {
  const bool sound = kind == GstOutputKind::Sound;
  GstOutput output;
  output.name = sound ? "sound output" : "video output";
  output.automaticType = sound ? "GstAutoAudioSink" : "GstAutoVideoSink";
  output.sink = SinkFromEnvironment(sound ? "MELLOWDECK_AUDIO_SINK" : "MELLOWDECK_VIDEO_SINK");
  return output;
}

bool ComesFrom(const GstOutput& output, GstObject* element) {
  for (GstObject* object = element; object != nullptr; object = GST_OBJECT_PARENT(object))
    if (output.sink != nullptr ? object == GST_OBJECT(output.sink)
                               : std::strcmp(G_OBJECT_TYPE_NAME(object), output.automaticType) == 0)
      return true;
  return false;
}

bool ReachedButNotStarted(GstElement* pipeline, const GstOutput& output) {
  GstElement* sink = SinkIn(pipeline, output);
  if (sink == nullptr)
    return false;
  GstPad* pad = gst_element_get_static_pad(sink, "sink");
  if (pad == nullptr)
    return false;
  GstCaps* caps = gst_pad_get_current_caps(pad);
  gst_object_unref(pad);
  if (caps == nullptr)
    return false;
  gst_caps_unref(caps);
  return gst_element_get_state(sink, nullptr, nullptr, 0) == GST_STATE_CHANGE_ASYNC;
}

bool FellBackToNothing(GstElement* pipeline, const GstOutput& output) {
  if (output.sink != nullptr)
    return false;
  GstElement* sink = SinkIn(pipeline, output);
  // Until it is used the automatic sink holds a placeholder that drops
  // everything, too.
  if (sink == nullptr || !GST_IS_BIN(sink) || GST_STATE(sink) < GST_STATE_READY)
    return false;
  return Find(gst_bin_iterate_elements(GST_BIN(sink)), CompareFakeSink, nullptr) != nullptr;
}
