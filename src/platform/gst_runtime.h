#pragma once

#include <initializer_list>

// Initialises GStreamer once per process and keeps the video sinks that
// misbehave (crash, probe for seconds, or wait for a toolkit loop) out of
// automatic selection. Returns once the media layer is ready.
void EnsureGstReady();

// Starts EnsureGstReady on a thread of its own and then loads the named
// plug-ins, so that the program's start can connect to the display and build
// its window meanwhile. EnsureGstReady still returns only once the media
// layer is ready; a plug-in that is not installed is passed over.
void PrepareGstInBackground(std::initializer_list<const char*> plugins);
