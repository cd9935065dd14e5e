// The ENet network device: initialises ENet once and makes DirectPlay
// objects with the test switches of the environment.
#include <enet/enet.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/enet/enet_network.h"
#include "platform/backend.h"
#include "platform/network.h"

NetTestSwitches NetTestSwitchesParse(const char* text) {
  NetTestSwitches s;
  if (!text) return s;
  std::string all(text);
  size_t at = 0;
  while (at < all.size()) {
    size_t end = all.find(',', at);
    if (end == std::string::npos) end = all.size();
    const std::string item = all.substr(at, end - at);
    at = end + 1;
    const size_t eq = item.find('=');
    const std::string key = item.substr(0, eq);
    const long value = eq == std::string::npos ? 0 : std::strtol(item.c_str() + eq + 1, nullptr, 10);
    const int percent = value < 0 ? 0 : value > 100 ? 100 : static_cast<int>(value);
    if (key == "noguarantee") s.noGuarantee = true;
    else if (key == "loss") s.lossPercent = percent;
    else if (key == "dup") s.duplicatePercent = percent;
    else if (key == "reorder") s.reorderPercent = percent;
    else if (key == "delay") s.delayMs = value < 0 ? 0 : static_cast<uint32_t>(value);
    else if (key == "seed") s.seed = static_cast<uint32_t>(value);
  }
  return s;
}

namespace {
class EnetNetwork : public PlatformNetwork {
 public:
  const char* Name() const override { return "ENet/UDP"; }
  HRESULT CreateDirectPlay(std::unique_ptr<IDirectPlay3A>* out) override {
    *out = EnetDirectPlayCreate(NetTestSwitchesParse(std::getenv("KORVANE_NET_TEST")));
    return *out ? DP_OK : DPERR_OUTOFMEMORY;
  }
};

}  // namespace

bool EnetStart() {
  static const bool started = [] {
    if (enet_initialize() != 0) return false;
    std::atexit(enet_deinitialize);
    return true;
  }();
  return started;
}

std::unique_ptr<PlatformNetwork> EnetNetworkCreate() {
  if (!EnetStart()) return NullNetworkCreate();
  return std::make_unique<EnetNetwork>();
}

HRESULT DirectPlayCreate(std::unique_ptr<IDirectPlay3A>* out) {
  if (!out) return DPERR_INVALIDPARAMS;
  return PlatformBackendGet().network->CreateDirectPlay(out);
}
