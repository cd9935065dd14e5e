// The null video: the stand-in for a device that has no implementation yet.
#include "platform/video.h"

namespace {
class NullVideo : public PlatformVideo {
 public:
  const char* Name() const override { return "none"; }
};
}  // namespace

std::unique_ptr<PlatformVideo> NullVideoCreate() { return std::make_unique<NullVideo>(); }
