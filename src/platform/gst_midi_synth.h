#pragma once

#include <gst/gst.h>

#include <string>

// The General MIDI sound font that MIDI files are rendered with: the
// system's default choice when there is one, else the small one we depend
// on; empty when none is installed.
const std::string& MidiSoundFont();

// Gives a MIDI synthesiser that playback creates our sound font and gain, and
// a limiter on its output that keeps a busy file below full scale; any other
// element is left alone.
void SetUpMidiSynth(GstElement* element);
