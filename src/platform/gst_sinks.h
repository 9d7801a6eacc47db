#pragma once

#include <gst/gst.h>

// The sink described (in gst-launch syntax) by the environment variable, or
// nullptr when it is unset or empty so that the media layer picks its own.
// Throws MdkError when the description cannot be built.
GstElement* SinkFromEnvironment(const char* variable);
