#pragma once
// A door of the level script: a polygon group that slides or turns open and
// shut, opened by the script commands, by actors coming near (automatic
// doors) or by its owner door. The script manager owns the doors and runs
// the proximity pass over the fields below; the door's own behaviour (its
// mover, events, sounds and saved record) is the door's.
//
// The shapes are what the level grammar decides for a group; the kind is
// how the door behaves and may change at run time ("doortype").
#include <cstdint>
#include <vector>

#include "platform/framework/cstring.h"
#include "platform/types.h"
#include "world/script/script_object.h"

enum DoorShape : int32_t {
  kDoorShapePlain = 0,     // restored from a saved game: no axis of its own
  kDoorShapeSliding = 1,
  kDoorShapeRotating = 2,  // swinging or spinning
  kDoorShapeParent = 3,
};

enum DoorKind : int32_t {
  kDoorKindPlain = 0,
  kDoorKindAuto = 1,        // opens while an admitted actor is near
  kDoorKindContinuous = 2,  // moves for ever
  kDoorKindSpin = 3,        // turns for ever
};

class CDoor : public CScriptNodeObject {
 public:
  // A door of that shape on the group (null: restored without a group).
  explicit CDoor(PolygonGroup* group = nullptr, DoorShape shape = kDoorShapePlain);

  DoorShape GetShape() const { return shape_; }
  // The group's name; empty without a group.
  const char* GetName() const;
  // The group's current centre; (0, 0, 0) without a group.
  void GetCentre(float* x, float* y, float* z) const;

  virtual void Toggle();
  virtual void SetOpen(BOOL open);
  virtual void Freeze(BOOL frozen);
  virtual void DecCounter();
  virtual void IncCounter();
  // A new axis from two points; only sliding and rotating doors have one.
  virtual void SetAxis(const Vec3& from, const Vec3& to);
  // Starts the mover toward the open flag's end.
  virtual void Apply();
  void OnMoverFinished() override;
  void Serialize(CArchive& ar) override;
  // Takes the door's state from a 0x4D2D message whose length the caller
  // has checked: radius at offset 20, view radius 24, kind byte 28, counter
  // 32, state bits 36.
  void RestoreState(const uint8_t* message);

  // What the script manager's passes read and write.
  DoorKind kind = kDoorKindPlain;
  float radius = 0.0f;       // automatic doors: how near an actor must come
  float viewRadius = -1.0f;  // continuous and spin doors run only while the player is this near; < 0 always
  CString objectFilter;      // actors admitted by automatic doors (empty: all; a mask)
  bool open = false;
  bool frozen = false;
  bool pending = false;     // automatic doors: Apply at the end of the frame
  bool nobodyNear = false;  // automatic doors: no admitted actor came near this frame
  // The doors this one owns ("owner" property of theirs); the manager's
  // sequence keeps them alive.
  std::vector<CDoor*> ownedDoors;

 private:
  DoorShape shape_;
};
