#pragma once
// A door of the level script: a polygon group that its mover slides or
// turns open (position 1) and shut (position 0). Doors open on the script's
// commands, on their owner door's, or by themselves while an admitted actor
// is near (automatic doors); continuous doors keep opening and closing and
// spin doors turn without end, both standing still while no player is
// within their view radius. A door raises its motion as events and plays
// the sounds its group names, keeps a counter for puzzles, and is saved
// with the game. The script manager owns the doors and runs the proximity
// pass over the fields below.
//
// The shape is what the level grammar made of the group (it decides what a
// new axis does); the kind is how the door behaves and may change at run
// time ("doortype"). A door restored from a saved game is plain: its axis
// cannot change.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "platform/types.h"
#include "world/script/script_object.h"

enum DoorShape : int32_t {
  kDoorShapePlain = 0,  // restored from a saved game: no axis of its own
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

// A door-state message (0x4D2D): header, name hash, action, radius at 20,
// view radius 24, kind 28, counter 32, state bits 36.
inline constexpr size_t kDoorStateSize = 40;

// Called with every sound a door plays (its name and group) before the
// sound manager gets it; null: nobody listens. Tests record through it.
using DoorSoundObserver = void (*)(const char* name, PolygonGroup* group);
extern DoorSoundObserver g_DoorSoundObserver;

class CDoor : public CScriptNodeObject {
 public:
  // Restored from a saved game (null group) or, for a group, the common
  // part of every shape: centre, radius ("radius", else the group's bounding
  // radius), view radius ("viewradius"), filter ("object"), kind
  // ("continuous", "auto"), counter ("counter", 1); frozen when the view
  // radius is positive; the mover stopped at position 0 with speed 0.
  explicit CDoor(PolygonGroup* group = nullptr, DoorShape shape = kDoorShapePlain);

  DoorShape GetShape() const { return shape_; }
  // The group's name; empty without a group.
  const char* GetName() const;
  // The group's current centre; the built centre without a group.
  void GetCentre(float* x, float* y, float* z) const;

  // Not frozen: the open flag flips, the door is applied, then every owned
  // door is set to the new flag.
  virtual void Toggle();
  // Not frozen and the flag differs: the flag is set and applied.
  virtual void SetOpen(BOOL open);
  // Runs the mover toward the open flag's end; owned doors follow the flag
  // (each door once, whatever the owners' links); when the group now moves,
  // "openevent" and "opensound" (or the closing pair) are raised.
  virtual void Apply();
  // Stops (or resumes) the mover, and every owned door's.
  virtual void Freeze(BOOL frozen);
  // A new axis from two points; only sliding and rotating doors have one.
  virtual void SetAxis(const Vec3& from, const Vec3& to);
  virtual void DecCounter();
  virtual void IncCounter();
  void SetViewRadius(float value) { viewRadius = value; }
  // "stopevent", "startevent" (at 0) or "finishevent" (at 1), "stopsound";
  // a continuous door that is not frozen toggles.
  void OnMoverFinished() override;
  // The named sound on the group's mover (at the centre without a group);
  // nothing for null.
  void PlaySound(const char* name);
  // The door's record; loading binds the group of the saved name.
  void Serialize(CArchive& ar) override;
  // Radii, kind, counter and state bits from a door-state message; the
  // mover is not touched. A message shorter than kDoorStateSize changes
  // nothing.
  void RestoreState(const uint8_t* message, size_t length);

  // What the script manager's passes read and write.
  Vec3 centre = {0, 0, 0};
  float radius = 0.0f;       // automatic doors: how near an actor must come
  float viewRadius = -1.0f;  // continuous and spin doors run only while the player is this near; < 0 always
  float angle = 0.0f;        // rotating doors: the opening angle (radians)
  DoorKind kind = kDoorKindPlain;
  CString objectFilter;  // actors admitted by automatic doors (empty: all; a mask)
  int32_t counter = 1;
  bool open = false;
  bool nobodyNear = false;  // automatic doors: no admitted actor came near this frame
  bool pending = false;     // automatic doors: Apply at the end of the frame
  bool frozen = false;
  // The doors this one owns ("owner" property of theirs); the manager's
  // sequence keeps them alive.
  std::vector<CDoor*> ownedDoors;

 protected:
  // The door's own mover speed from "speed"; the mover stopped at 0,
  // closed; with "start" it runs open at once and the door is not frozen.
  void SetUpMover(float defaultSpeed);

 private:
  void ApplyOnce(std::vector<const CDoor*>& applied);

  DoorShape shape_;
};

// "type" "parent": relays to the doors it owns; with "start" it toggles at
// once (before any door is linked to it).
class CParentDoor : public CDoor {
 public:
  explicit CParentDoor(PolygonGroup* group);
};

// Slides along its first axis line (taken out of the world).
class CSlidingDoor : public CDoor {
 public:
  explicit CSlidingDoor(PolygonGroup* group);
  // A stopped slide along to - from at position 0, speed -1.
  void SetAxis(const Vec3& from, const Vec3& to) override;
};

// Swings by "angle" degrees (90; 0 for a continuous door) about its first
// axis line; an angle of 0 makes it a spin door that turns without end.
class CRotatingDoor : public CDoor {
 public:
  explicit CRotatingDoor(PolygonGroup* group);
  // A stopped rotation about the line through to along to - from, by the
  // door's angle, at position 0, speed -1.
  void SetAxis(const Vec3& from, const Vec3& to) override;
};

// The door the level grammar's shape makes for the group.
CDoor* MakeDoor(PolygonGroup* group, DoorShape shape);
