#pragma once
// Pick-ups: supplies that a ship collects, hidden while they wait to respawn.
// Built with the world simulation; until then only what the network receive
// loop calls is declared.
#include <cstdint>

#include "platform/types.h"
#include "world/objects/generic_object.h"

class CSupply : public CGenericObject {
 public:
  // Hides the supply and starts its respawn countdown; with announce false
  // no message is sent.
  void Hide(bool announce);
  // Shows it again; with announce false no message is sent.
  void Show(bool announce);
};

class CCommonSupply : public CSupply {
 public:
  // From another player's creation message (its length checked by the
  // caller): type code, amount, respawn time, kind, flags and position.
  CCommonSupply(DPID owner, const uint8_t* message);
};
