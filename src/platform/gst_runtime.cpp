#include "platform/gst_runtime.h"

#include <gst/gst.h>
#include <malloc.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kMallocArenas = 2;

// The DirectFB sink can crash the process and the KMS sink costs seconds to
// probe when there is no display. The toolkit sinks draw only when the
// application runs their toolkit's main loop, which a blocking Open does not:
// under Wayland the automatic choice would otherwise take the GTK one and
// hang for good. Automatic selection must never try any of them; what is
// left (the X sinks, the Wayland sink) runs on threads of its own.
void DemoteUnsafeVideoSinks() {
  for (const char* name : {"dfbvideosink", "kmssink", "gtkwaylandsink", "gtksink", "gtkglsink",
                           "qmlglsink", "qml6glsink", "clutterautovideosink"}) {
    GstPluginFeature* feature = gst_registry_lookup_feature(gst_registry_get(), name);
    if (feature == nullptr)
      continue;
    gst_plugin_feature_set_rank(feature, GST_RANK_NONE);
    gst_object_unref(feature);
  }
}

void LimitMallocArenas() {
  // Every opened media brings streaming threads of its own, and glibc gives
  // threads malloc arenas of their own that keep what they once held: the
  // resident size would grow with every play. Two arenas keep it flat at
  // no cost that a player could measure. Set before any thread of ours runs.
  static std::once_flag once;
  std::call_once(once, [] { mallopt(M_ARENA_MAX, kMallocArenas); });
}

void LoadPlugins(const std::vector<std::string>& plugins) {
  for (const std::string& name : plugins)
    if (GstPlugin* plugin = gst_plugin_load_by_name(name.c_str()))
      gst_object_unref(plugin);
}

} // namespace

void EnsureGstReady() {
  static std::once_flag once;
  // Concurrent callers wait here until the first one has finished.
  std::call_once(once, [] {
    LimitMallocArenas();
    gst_init(nullptr, nullptr);
    DemoteUnsafeVideoSinks();
  });
}

void PrepareGstInBackground(std::initializer_list<const char*> plugins) {
  LimitMallocArenas();
  // Joined at exit: a load still under way must not meet the process's teardown.
  static std::jthread preparing;
  if (preparing.joinable())
    return;
  preparing = std::jthread([names = std::vector<std::string>(plugins.begin(), plugins.end())] {
    EnsureGstReady();
    LoadPlugins(names);
  });
}
