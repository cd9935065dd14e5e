#pragma once
// Pick-ups: items the local ship collects by flying into them. CSupply owns
// the item's model instance (its mesh: collision radius 0, so ships pass
// through; the reach replaces it), hides and shows it, announces it and
// saves it. CCommonSupply is the level's pick-up, made from a level
// instance whose model is a row of the pick-up table (the document's
// FindPickupType), or from another program's creation message. The back
// pack (world/objects/back_pack.h) is the other supply.
//
// In single play a taken pick-up is gone; in a network game the taker's
// program hides it with a countdown of its row's respawn seconds and shows
// it again when the countdown runs out, telling the others with the hide
// and show messages (the others hide without a countdown).
//
// Messages, little-endian, guaranteed: the 17-byte object prefix (message
// id 0x32100000 + type code, owner, clock, object id, action), 3 zero bytes,
// then for a creation (action 1, 84 bytes) position, velocity, angles, spin
// (12 floats), respawning and hidden bytes, 2 zero bytes, amount, respawn
// seconds and kind (int32). Hide (action 4) and show (action 5) are the
// 20-byte header alone. A back pack's creation is 116 bytes (back_pack.h).
//
// Saved record after the base: the 12 floats, last out of reach (relative
// to the game time), respawning, hidden, amount, respawn seconds,
// countdown, kind, reach, a byte telling whether a mesh follows and then its
// model's file name, the carried flags, ten counts and Freon, the name.
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "platform/types.h"
#include "world/objects/generic_object.h"

class CArchive;

inline constexpr int kPickupKindCount = 33;
inline constexpr int kSupplyHeaderBytes = 20;
inline constexpr int kSupplyCreateBytes = 84;
inline constexpr int kBackPackCreateBytes = 116;
inline constexpr uint8_t kSupplyActionRemove = 3;
inline constexpr uint8_t kSupplyActionHide = 4;
inline constexpr uint8_t kSupplyActionShow = 5;
// The ship must stay in reach this long (ms, and then some) to take an
// item; a full inventory's refusal waits kSupplyRetryMs before the next try.
inline constexpr int32_t kSupplyTouchMs = 100;
inline constexpr int32_t kSupplyRetryMs = 500;
// The sounds of the table the supplies play.
inline constexpr int kSoundBzzzt = 0;
inline constexpr int kSoundAmmo = 23;
inline constexpr int kSoundRespawn = 36;
// Where the fatal errors of a missing pick-up model are reported.
inline constexpr const char* kSupplySource = "GenObj1";
inline constexpr int kSupplyLineLoad = 134;
inline constexpr int kSupplyLineMessage = 471;

// The type code of a pick-up kind; 0 for -1 and any number outside the
// table.
uint16_t PickupTypeCode(int kind);
// Uniform between the two bounds (either order): a + (b - a) x rand() /
// 32767.
float RandomBetween(float a, float b);

// The sounds the supplies play go to the sound manager and, for tests, to
// this observer (null: none): id, and whether it was placed at the item.
using SupplySoundObserver = void (*)(int soundId, bool positioned);
extern SupplySoundObserver g_SupplySoundObserver;

class CSupply : public CGenericObject {
  DECLARE_SERIAL_CLASS(CSupply)
 public:
  // Loading: Serialize fills it.
  CSupply();
  // At the point, not moving, no mesh, out of reach now, amount 1, no
  // countdown, kind 0.
  CSupply(DPID owner, uint32_t objectId, float x, float y, float z);
  // Stops it (its mesh goes).
  ~CSupply() override;

  void Serialize(CArchive& ar) override;
  // Changes nothing: every supply is respawning.
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  // The creation message (84 bytes, a back pack's 116) while active in a
  // network game.
  void SendCreate(DPID to) override;
  bool OwnsMesh(Instance* instance) override;

  // Makes the supply live: the mesh's collision radius 0, active, announced
  // when local. A second Start does nothing.
  virtual BOOL Start();
  // The mesh goes (with its animation record); inactive.
  virtual BOOL Stop();

  // Taken: the mesh is neither drawn nor met; with announce the respawn
  // countdown starts and a network game hears the hide message, without it
  // no countdown runs.
  void Hide(bool announce);
  // Shown again with the "respawn" sound; with announce the others hear
  // the show message.
  void Show(bool announce);

  // The level instance's name, which the level script's "hide" and "show"
  // match without regard to case; empty when it has none.
  const char* GetName() const { return name_.GetString(); }
  Instance* GetInstance() const { return mesh_; }
  // Hidden with its respawn countdown running.
  bool IsRespawnPending() const { return hidden_ && countdown_ >= 0; }
  bool IsHidden() const { return hidden_; }
  bool IsRespawning() const { return respawning_; }
  int32_t GetCountdown() const { return countdown_; }
  int32_t GetKind() const { return kind_; }
  int32_t GetAmount() const { return amount_; }
  int32_t GetRespawnSeconds() const { return respawnSeconds_; }
  float GetReach() const { return reach_; }
  int32_t GetLastOutOfReach() const { return lastOutOfReach_; }
  uint8_t GetCarriedFlags() const { return carriedFlags_; }
  int32_t GetCarriedCount(int counter) const { return counter >= 0 && counter < 10 ? carriedCounts_[counter] : 0; }
  float GetCarriedFreon() const { return carriedFreon_; }

  // The creation message into out (at least kBackPackCreateBytes); its
  // length.
  int WriteCreateMessage(uint8_t* out) const;

 protected:
  // What the local ship's reach test says this update.
  enum class Touch { kNo, kTooShort, kLongEnough };
  // Out of reach (or not needed) until now: the 100 ms start again.
  void MarkOutOfReach();
  // The local ship within the reach: kLongEnough once it has stayed more
  // than 100 ms; kNo marks the supply out of reach.
  Touch TouchByLocalShip();
  // After a load: started and its mesh animating again.
  void StartLoaded();
  // A 20-byte header message with that action to everybody, in a network
  // game only.
  void SendAction(uint8_t action) const;
  // Sounds: at the item (flags 2), or unplaced at volume 0.
  void PlayAt(int soundId) const;
  static void PlayUnplaced(int soundId);

  float position_[3] = {};
  float velocity_[3] = {};
  float angles_[3] = {};
  float spin_[3] = {};
  Instance* mesh_ = nullptr;
  int32_t lastOutOfReach_ = 0;
  bool respawning_ = false;
  bool hidden_ = false;
  int32_t amount_ = 1;
  int32_t respawnSeconds_ = 0;
  int32_t countdown_ = -1;
  int32_t kind_ = 0;
  float reach_ = 0.0f;
  CString name_;
  uint8_t carriedFlags_ = 0;
  int32_t carriedCounts_[10] = {};
  float carriedFreon_ = 0.0f;
};

class CCommonSupply : public CSupply {
  DECLARE_SERIAL_CLASS(CCommonSupply)
 public:
  CCommonSupply() = default;
  // Takes over the level instance as its mesh: kind, amount and respawn
  // seconds from its model's row, its name and angles; started and
  // animating.
  CCommonSupply(DPID owner, uint32_t objectId, Instance* instance, bool respawning);
  // From another program's creation message (84 bytes, checked by the
  // caller): the message's object id, type code, fields and kind, a new
  // instance of the kind's model. A kind outside the table leaves it
  // inactive (the manager drops it); a model that is not loaded ends the
  // program.
  CCommonSupply(DPID owner, const uint8_t* message);

  void Serialize(CArchive& ar) override;
  // The pick-up test: the hidden countdown, then the local ship's touch of
  // more than 100 ms gives the item's effect. FALSE when the item is gone.
  BOOL Update(uint32_t elapsedMs) override;

 private:
  // The effect on the inventory; false when a full inventory refused it.
  bool ApplyEffect();
};
