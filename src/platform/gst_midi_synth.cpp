#include "platform/gst_midi_synth.h"

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

// The synthesiser's own gain of 0.2 leaves General MIDI files far quieter
// than other media.
constexpr double kSynthGain = 0.6;

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
      std::strcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fluiddec") != 0)
    return;
  if (!MidiSoundFont().empty())
    g_object_set(element, "soundfont", MidiSoundFont().c_str(), nullptr);
  g_object_set(element, "synth-gain", kSynthGain, nullptr);
}
