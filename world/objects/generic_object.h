#pragma once
// The base of every dynamic object (missiles, bullets, explosions, effects,
// debris, pick-ups, free-moving level objects). An object is known across
// the network by the pair (owner DPID, object id); only its owner's program
// announces it. The object manager (world/objects/object_manager.h) owns
// and updates the objects; docs/world-simulation.md gives the life cycle.
//
// Contracts every derived class keeps:
// - Update is called once per manager tick, only while the object is active
//   and not dead; FALSE ends it (removed and deleted at once). An update may
//   add objects (through the factories) but removes no object but itself.
// - Start (the families that have one) makes the object live: scene
//   resources, active, and when local its creation message to all. A second
//   Start does nothing. Stop releases what Start made; destructors call it.
// - SendCreate(to) sends only while active and in a network game; it does
//   not look at the owner (a joining player is sent everything).
// - Serialize writes the base record (type code, up vector, object id) then
//   the class's own fields. The owner is not saved: a loaded object is local.
//
// Everything runs on the game thread; nothing is locked.
#include <cstdint>

#include "platform/framework/runtime_class.h"
#include "platform/types.h"

class CArchive;
struct Instance;

// Bytes of the prefix every creation message starts with.
inline constexpr int kCreatePrefixBytes = 17;
// Every creation message of a shot in flight is this long.
inline constexpr int kShotCreateBytes = 52;
inline constexpr uint8_t kCreateAction = 1;

class CGenericObject : public CObject {
  DECLARE_SERIAL_CLASS(CGenericObject)
 public:
  // Loading: owned by the local player, inactive; Serialize fills the rest.
  CGenericObject();
  // Owner 0 means the local player (asked of the document now).
  CGenericObject(DPID owner, uint32_t objectId);
  ~CGenericObject() override;

  void Serialize(CArchive& ar) override;

  // Advances the object by elapsedMs of game time; FALSE asks the manager to
  // remove and delete it. The base answers FALSE.
  virtual BOOL Update(uint32_t elapsedMs);
  // The current position in world units; the base writes nothing.
  virtual void GetPosition(float& x, float& y, float& z);
  // The creation message to one player (0: all); the base sends nothing.
  virtual void SendCreate(DPID to);
  // True when the object owns and shows that instance of the level.
  virtual bool OwnsMesh(Instance* instance);

  // The owner is the local player, asked of the document at the call.
  bool IsLocal() const;
  bool IsActive() const { return active_; }
  bool IsDead() const { return dead_; }
  // The manager removes and deletes a dead object at its next tick.
  void Kill() { dead_ = true; }

  DPID GetOwner() const { return owner_; }
  uint32_t GetObjectId() const { return objectId_; }
  uint16_t GetTypeCode() const { return typeCode_; }

  // The 17 bytes every creation message begins with, little-endian: message
  // id (kMessageIdBase + type code), owner, the millisecond timer, object id,
  // action 1.
  void WriteCreatePrefix(uint8_t out[kCreatePrefixBytes]) const;
  // The creation message of a shot in flight (bolt, slug, plasma or rubber
  // ball): zeroed, the prefix, position at 20, velocity at 32 and damage at
  // 44; byte 48 is left for the shot's own flag.
  void WriteShotCreateMessage(uint8_t out[kShotCreateBytes], const float position[3], const float velocity[3],
                              float damage) const;

 protected:
  bool active_ = false;
  bool dead_ = false;
  uint16_t typeCode_ = 0;
  float up_[3] = {0.0f, 1.0f, 0.0f};
  DPID owner_ = 0;
  uint32_t objectId_ = 0;
};

// The local player's DPID as the document gives it (0xFFFFFFFF without a
// document or a local player).
DPID LocalPlayerId();
