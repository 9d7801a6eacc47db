#pragma once

// Initialises GStreamer once per process and keeps the video sinks that
// misbehave (crash, probe for seconds, or wait for a toolkit loop) out of
// automatic selection.
void EnsureGstReady();
