#pragma once
// Pick-ups: supplies that a ship collects, hidden while they wait to respawn.
// Built with the world simulation; until then only what the network receive
// loop and the object manager call is declared.
#include <cstdint>

#include "platform/types.h"
#include "world/objects/generic_object.h"

class CSupply : public CGenericObject {
 public:
  CSupply() = default;
  CSupply(DPID owner, uint32_t objectId) : CGenericObject(owner, objectId) {}

  // Hides the supply and starts its respawn countdown; with announce false
  // no message is sent.
  void Hide(bool announce);
  // Shows it again; with announce false no message is sent.
  void Show(bool announce);
  // The item's name, which the level script's "hide" and "show" match
  // without regard to case; empty when it has none.
  virtual const char* GetName() const;
  // The level instance the item shows; null when it has none.
  virtual Instance* GetInstance() const;
  // The respawn countdown runs (the item was taken and waits).
  virtual bool IsRespawnPending() const;
};

class CCommonSupply : public CSupply {
 public:
  // From another player's creation message (its length checked by the
  // caller): type code, amount, respawn time, kind, flags and position.
  CCommonSupply(DPID owner, const uint8_t* message);
};
