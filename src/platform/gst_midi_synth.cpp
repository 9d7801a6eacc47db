#include "platform/gst_midi_synth.h"

#include "platform/gst_midi_limiter.h"

#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

// Brings a lone instrument at an ordinary velocity to within a few dB of
// other media; the synthesiser's own 0.2 leaves it some 30 dB below them.
// Everything louder is the limiter's to hold down.
constexpr double kSynthGain = 4.0;
// A little below full scale, so that converting and resampling on the way to
// the output, which can put a peak between samples, still does not clip.
constexpr MidiLimiter::Settings kLimits{
    .ceiling = 0.794f, // -2 dBFS
    .lookaheadMs = 5,
    .holdMs = 500,
    .releaseDbPerSecond = 6,
};
const char* const kSetUpKey = "mellowdeck-midi-limiter";

struct SynthOutput {
  std::optional<MidiLimiter> limiter;
};

// The limiter follows the format the synthesiser settles on; a format it
// cannot read is let through as it is.
void Configure(SynthOutput& output, GstCaps* caps) {
  output.limiter.reset();
  const GstStructure* format = gst_caps_get_structure(caps, 0);
  int rate = 0;
  int channels = 0;
  if (format == nullptr || g_strcmp0(gst_structure_get_string(format, "format"), "F32LE") != 0 ||
      !gst_structure_get_int(format, "rate", &rate) ||
      !gst_structure_get_int(format, "channels", &channels) || rate <= 0 || channels <= 0)
    return;
  output.limiter.emplace(kLimits, rate, channels);
}

void Limit(MidiLimiter& limiter, GstPadProbeInfo* info) {
  GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READWRITE))
    return;
  limiter.Process({reinterpret_cast<float*>(map.data), map.size / sizeof(float)});
  gst_buffer_unmap(buffer, &map);
}

GstPadProbeReturn OnSynthOutput(GstPad*, GstPadProbeInfo* info, gpointer data) {
  SynthOutput& output = *static_cast<SynthOutput*>(data);
  if ((GST_PAD_PROBE_INFO_TYPE(info) &
       (GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH)) != 0) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      Configure(output, caps);
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP && output.limiter) {
      // What was heard before a seek must not come out after it.
      output.limiter->Reset();
    }
    return GST_PAD_PROBE_OK;
  }
  if (output.limiter)
    Limit(*output.limiter, info);
  return GST_PAD_PROBE_OK;
}

std::string FindSoundFont() {
  std::vector<std::filesystem::path> dataDirs{g_get_user_data_dir()};
  for (const gchar* const* dir = g_get_system_data_dirs(); *dir != nullptr; ++dir)
    dataDirs.emplace_back(*dir);
  for (const char* name :
       {"sounds/sf2/default-GM.sf2", "sounds/sf3/default-GM.sf3", "sounds/sf2/TimGM6mb.sf2"}) {
    for (const std::filesystem::path& dir : dataDirs) {
      std::error_code error;
      const std::filesystem::path candidate = dir / name;
      if (std::filesystem::is_regular_file(candidate, error))
        return candidate.string();
    }
  }
  return {};
}

} // namespace

const std::string& MidiSoundFont() {
  static const std::string soundFont = FindSoundFont();
  return soundFont;
}

void SetUpMidiSynth(GstElement* element) {
  GstElementFactory* factory = gst_element_get_factory(element);
  if (factory == nullptr ||
      std::strcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fluiddec") != 0 ||
      g_object_get_data(G_OBJECT(element), kSetUpKey) != nullptr)
    return;
  // Marked, so that a second set-up of the same element adds no second limiter.
  g_object_set_data(G_OBJECT(element), kSetUpKey, GINT_TO_POINTER(1));
  if (!MidiSoundFont().empty())
    g_object_set(element, "soundfont", MidiSoundFont().c_str(), nullptr);
  g_object_set(element, "synth-gain", kSynthGain, nullptr);
  GstPad* pad = gst_element_get_static_pad(element, "src");
  if (pad == nullptr)
    return;
  gst_pad_add_probe(pad,
                    GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER |
                                    GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                    GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                    OnSynthOutput, new SynthOutput,
                    [](gpointer data) { delete static_cast<SynthOutput*>(data); });
  gst_object_unref(pad);
}
