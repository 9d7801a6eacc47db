#pragma once

// Initialises GStreamer once per process and keeps the video sinks that
// misbehave without a display out of automatic selection.
void EnsureGstReady();
