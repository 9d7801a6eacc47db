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

// A comparison for gst_iterator_find_custom: 0 for a sink that drops everything.
gint CompareFakeSink(gconstpointer item, gconstpointer) {
  GstElementFactory* factory =
      gst_element_get_factory(GST_ELEMENT(g_value_get_object(static_cast<const GValue*>(item))));
  const bool fake =
      factory != nullptr &&
      std::strcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fakesink") == 0;
  return fake ? 0 : 1;
}

} // namespace

GstOutput MakeOutput(GstOutputKind kind) {
  const bool sound = kind == GstOutputKind::Sound;
  GstOutput output;
  output.name = sound ? "sound output" : "video output";
  output.sink = SinkFromEnvironment(sound ? "MELLOWDECK_AUDIO_SINK" : "MELLOWDECK_VIDEO_SINK");
  if (output.sink == nullptr) {
    output.sink = gst_element_factory_make(sound ? "autoaudiosink" : "autovideosink", nullptr);
    output.automatic = true;
  }
  if (output.sink == nullptr)
    throw MdkOutputError(std::string("The media layer has no ") + output.name + ".");
  return output;
}

bool ComesFrom(const GstOutput& output, GstObject* element) {
  return output.sink != nullptr && element != nullptr &&
         (element == GST_OBJECT(output.sink) ||
          gst_object_has_as_ancestor(element, GST_OBJECT(output.sink)));
}

bool ReachedButNotStarted(const GstOutput& output) {
  if (output.sink == nullptr)
    return false;
  GstPad* pad = gst_element_get_static_pad(output.sink, "sink");
  if (pad == nullptr)
    return false;
  GstCaps* caps = gst_pad_get_current_caps(pad);
  gst_object_unref(pad);
  if (caps == nullptr)
    return false;
  gst_caps_unref(caps);
  return gst_element_get_state(output.sink, nullptr, nullptr, 0) == GST_STATE_CHANGE_ASYNC;
}

bool FellBackToNothing(const GstOutput& output) {
  // Until it is used the automatic sink holds a placeholder that drops
  // everything, too.
  if (!output.automatic || output.sink == nullptr || !GST_IS_BIN(output.sink) ||
      GST_STATE(output.sink) < GST_STATE_READY)
    return false;
  GstIterator* children = gst_bin_iterate_elements(GST_BIN(output.sink));
  GValue found = G_VALUE_INIT;
  const bool fake = gst_iterator_find_custom(children, CompareFakeSink, &found, nullptr);
  if (fake)
    g_value_unset(&found);
  gst_iterator_free(children);
  return fake;
}
