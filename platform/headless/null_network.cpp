// The null network: no DirectPlay object can be made.
#include "platform/network.h"

namespace {
class NullNetwork : public PlatformNetwork {
 public:
  const char* Name() const override { return "none"; }
  HRESULT CreateDirectPlay(std::unique_ptr<IDirectPlay3A>* out) override {
    out->reset();
    return DPERR_UNAVAILABLE;
  }
};
}  // namespace

std::unique_ptr<PlatformNetwork> NullNetworkCreate() { return std::make_unique<NullNetwork>(); }
