// The null network: the stand-in for a device that has no implementation yet.
#include "platform/network.h"

namespace {
class NullNetwork : public PlatformNetwork {
 public:
  const char* Name() const override { return "none"; }
};
}  // namespace

std::unique_ptr<PlatformNetwork> NullNetworkCreate() { return std::make_unique<NullNetwork>(); }
