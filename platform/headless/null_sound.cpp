// The null sound: the stand-in for a device that has no implementation yet.
#include "platform/sound.h"

namespace {
class NullSound : public PlatformSound {
 public:
  const char* Name() const override { return "none"; }
};
}  // namespace

std::unique_ptr<PlatformSound> NullSoundCreate() { return std::make_unique<NullSound>(); }
