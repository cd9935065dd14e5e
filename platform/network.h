#pragma once
// The network device: where DirectPlay objects come from
// (platform/direct_play.h). Both back ends use the ENet one
// (platform/enet/), which works over UDP and this machine's loopback alike;
// the null one stays for a machine where ENet can't start: it makes no
// DirectPlay object, so every game is a game for one.
#include <memory>

#include "platform/direct_play.h"

class PlatformNetwork {
 public:
  virtual ~PlatformNetwork() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
  // A new, unconnected DirectPlay object; DPERR_UNAVAILABLE without one.
  virtual HRESULT CreateDirectPlay(std::unique_ptr<IDirectPlay3A>* out) = 0;
};

// The stand-in with nothing behind it: no session, ever.
std::unique_ptr<PlatformNetwork> NullNetworkCreate();
// The ENet network; the null one when ENet can't be initialised.
std::unique_ptr<PlatformNetwork> EnetNetworkCreate();
