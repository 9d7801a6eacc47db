#pragma once

#include <gst/gst.h>
#include <string>

// The sound or the video output of one pipeline.
struct GstOutput {
  // The sink described in the environment, floating until the pipeline takes
  // it, or the sink of the program's own video window; nullptr when the media
  // layer chooses one, which it then makes only for media that need it (an
  // automatic video sink probes the display even for a sound file).
  GstElement* sink = nullptr;
  // "sound output" or "video output", for messages.
  const char* name = "";
  // The type of the sink the media layer makes when it chooses.
  const char* automaticType = "";
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
bool ReachedButNotStarted(GstElement* pipeline, const GstOutput& output);
// The automatic choice found no device and fell back to a sink that drops
// everything, so the media plays without sound or picture.
bool FellBackToNothing(GstElement* pipeline, const GstOutput& output);
