#include "platform/gst_sinks.h"

#include "platform/mdk_error.h"

#include <cstdlib>
#include <string>

GstElement* SinkFromEnvironment(const char* variable) {
  const char* description = std::getenv(variable);
  if (description == nullptr || *description == '\0')
    return nullptr;
  GError* error = nullptr;
  GstElement* sink = gst_parse_bin_from_description(description, TRUE, &error);
  if (error != nullptr) {
    std::string message = std::string(variable) + " (\"" + description +
                          "\") is not a usable sink: " + error->message;
    g_error_free(error);
    if (sink != nullptr)
      gst_object_unref(sink);
    throw MdkError(message);
  }
  return sink;
}
