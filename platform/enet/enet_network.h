#pragma once
// What the ENet network's files share: the test switches and the maker of
// the DirectPlay object.
#include <cstdint>
#include <memory>

#include "platform/direct_play.h"

// KORVANE_NET_TEST, read once per DirectPlay object (platform/direct_play.h).
struct NetTestSwitches {
  bool noGuarantee = false;
  int lossPercent = 0;
  int duplicatePercent = 0;
  int reorderPercent = 0;
  uint32_t delayMs = 0;
  uint32_t seed = 1;
};
NetTestSwitches NetTestSwitchesParse(const char* text);

std::unique_ptr<IDirectPlay3A> EnetDirectPlayCreate(const NetTestSwitches& switches);
