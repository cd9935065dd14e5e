#pragma once
// The goods a ship drops where it died in a network game. Built with the
// world simulation; until then only what the network receive loop calls is
// declared.
#include <cstdint>

#include "platform/types.h"
#include "world/objects/supply.h"

class CBackPack : public CSupply {
 public:
  // From another player's creation message (its length checked by the
  // caller).
  CBackPack(DPID owner, const uint8_t* message);
};
