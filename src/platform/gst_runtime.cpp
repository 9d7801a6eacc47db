#include "platform/gst_runtime.h"

#include <gst/gst.h>
#include <malloc.h>
#include <mutex>

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

} // namespace

void EnsureGstReady() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Every opened media brings streaming threads of its own, and glibc gives
    // threads malloc arenas of their own that keep what they once held: the
    // resident size would grow with every play. Two arenas keep it flat at
    // no cost that a player could measure.
    mallopt(M_ARENA_MAX, kMallocArenas);
    gst_init(nullptr, nullptr);
    DemoteUnsafeVideoSinks();
  });
}
