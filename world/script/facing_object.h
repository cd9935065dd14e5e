#pragma once
// A facing polygon of the level script: one face of a "facing_" group that
// turns toward the viewer every frame, about an axis line of the group or
// about the vertical axis through the face's centre. Facing objects are not
// saved: the script manager makes them again when a game is loaded.
#include "engine/records.h"
#include "world/script/script_object.h"

class CFacingObject : public CScriptObject {
 public:
  // The face turns about the line through axisFrom along axisTo - axisFrom;
  // without an axis line, about the vertical axis through its centre.
  CFacingObject(WorldPolygon* face, const WorldPolygon* axisLine);

  // Readies the face for turning.
  virtual void Initialise();
  // Turns the face toward the viewer.
  virtual void Update();

  WorldPolygon* GetFace() const { return face_; }
  bool HasAxisLine() const { return hasAxis_; }
  const Vec3& GetAxisPoint() const { return axisPoint_; }
  const Vec3& GetAxisDirection() const { return axisDirection_; }

 private:
  WorldPolygon* face_;
  bool hasAxis_;
  Vec3 axisPoint_ = {0, 0, 0};
  Vec3 axisDirection_ = {0, -1, 0};
};
