// The null sound: no device, so sound is off.
#include "platform/sound.h"

namespace {
class NullSound : public PlatformSound {
 public:
  const char* Name() const override { return "none"; }
  bool Acquire() override { return false; }
  void Release() override {}
  void AddStream(AudioStream*) override {}
  void RemoveStream(AudioStream*) override {}
};
}  // namespace

std::unique_ptr<PlatformSound> NullSoundCreate() { return std::make_unique<NullSound>(); }
