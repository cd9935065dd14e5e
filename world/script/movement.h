#pragma once
// A movement of the level script: an unseen controller group whose axis
// lines (two-vertex polygons) give it a slide or a rotation. The group's
// mover carries it, and every group parented to it, from position 0 to 1 and
// back on the script's commands ("transfer", "reverse"); its ends are
// raised as events, and a continuous movement runs back and forth for ever.
// The script manager owns it.
#include <cstdint>

#include "engine/records.h"
#include "world/script/script_object.h"

enum MovementFlags : int32_t {
  kMovementTranslates = 1,   // a non-zero slide was set
  kMovementRotates = 2,      // a non-zero rotation axis was set
  kMovementContinuous = 4,
};

// What "transfer" and "reverse" do to a group: run its mover forward from
// position 0 (raising "forwardevent") or back from where it stands
// ("reverseevent"). A group without a mover only raises the event.
void MoverRunForward(PolygonGroup* group);
void MoverRunReverse(PolygonGroup* group);

class CMovement : public CScriptNodeObject {
 public:
  // Restored from a saved game: its record fills it.
  CMovement() : CScriptNodeObject(nullptr) {}
  // Hides the group, reads its speed ("seconds", "time", "speed"), its
  // "continuous" flag and its axis lines (the last one decides the mover),
  // and with "start" runs forward at once.
  explicit CMovement(PolygonGroup* group);

  // From position 0 toward 1; raises "forwardevent".
  virtual void Forward();
  // Back from where it stands; raises "reverseevent".
  virtual void Reverse();
  // The group becomes a child of the movement's group, keeping its place.
  void Carry(PolygonGroup* group);
  // "stopevent", then "startevent" (back at 0) or "finishevent" (at 1); a
  // continuous movement then turns round.
  void OnMoverFinished() override;
  // Group name (after a byte 1; a byte 0 without a group), speed,
  // translation, pivot, axis, angle, flags. Loading binds the group of that
  // name in the world given by SetLoadWorld.
  void Serialize(CArchive& ar) override;

  void SetTranslation(const Vec3& d);
  void SetRotation(const Vec3& pivot, const Vec3& direction, float angle);

  float speed = 0.0f;
  Vec3 translation = {0, 0, 0};
  Vec3 pivot = {0, 0, 0};
  Vec3 axis = {0, 0, 0};
  float angle = 0.0f;
  int32_t flags = 0;

 private:
  void RaiseGroupEvent(const char* name);
};
