#include "platform/gst_runtime.h"

#include <gst/gst.h>
#include <mutex>

namespace {

// The DirectFB sink can crash the process and the KMS sink costs seconds to
// probe when there is no display, so automatic selection must never try them.
void DemoteUnsafeVideoSinks() {
  for (const char* name : {"dfbvideosink", "kmssink"}) {
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
    gst_init(nullptr, nullptr);
    DemoteUnsafeVideoSinks();
  });
}
