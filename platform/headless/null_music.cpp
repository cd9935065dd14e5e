// The null music: the stand-in for a device that has no implementation yet.
#include "platform/music.h"

namespace {
class NullMusic : public PlatformMusic {
 public:
  const char* Name() const override { return "none"; }
};
}  // namespace

std::unique_ptr<PlatformMusic> NullMusicCreate() { return std::make_unique<NullMusic>(); }
