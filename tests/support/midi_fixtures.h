#pragma once

#include <string>

// MIDI files at the two ends of what the synthesiser makes of ordinary music,
// written in `dir`; each writer throws std::runtime_error when it cannot.

// One piano playing a few single notes at an ordinary velocity.
std::string WriteSparseMidi(const std::string& dir);
// Eight instruments playing chords at full velocity over a drum kit.
std::string WriteBusyMidi(const std::string& dir);
