#pragma once

#include <gst/gst.h>
#include <string>

// The sound or the video output of one pipeline.
struct GstOutput {
  // Floating until the pipeline takes it; the pipeline owns it from then on.
  GstElement* sink = nullptr;
  // Chosen by the media layer rather than described in the environment.
  bool automatic = false;
  // "sound output" or "video output", for messages.
  const char* name = "";
};

enum class GstOutputKind { Sound, Video };

// The sink described (in gst-launch syntax) by MELLOWDECK_AUDIO_SINK or
// MELLOWDECK_VIDEO_SINK, or else the media layer's automatic choice. Throws
// MdkOutputError when the description cannot be built.
GstOutput MakeOutput(GstOutputKind kind);

// Whether the element is the output's sink or lies inside it.
bool ComesFrom(const GstOutput& output, GstObject* element);
// A stream has reached the output but the output has not taken its first
// buffer: the output, not the media, is what stalls.
bool ReachedButNotStarted(const GstOutput& output);
// The automatic choice found no device and fell back to a sink that drops
// everything, so the media plays without sound or picture.
bool FellBackToNothing(const GstOutput& output);
