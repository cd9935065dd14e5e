#pragma once
// A facing polygon of the level script: the face of a "facing_" group that
// keeps turning about a fixed axis so that its front points at the local
// player's ship (signs, flames, trees built into the level). Every frame it
// is rebuilt from its initial shape, turned about the axis, with its texture
// mapping turned along; a face the player has not seen for 200 rendered
// frames is rebuilt at most every three seconds. Facing objects are not
// saved: the script manager makes them again when a game is loaded.
#include <vector>

#include "engine/records.h"
#include "world/script/script_object.h"

// Multiplies m (row-vector form, 16 floats) on the right by the rotation
// about the unit axis with cosine c and sine s: the first three columns of
// all four rows change, the fourth stays.
void MatrixMultiplyAxisRotation(float m[16], const Vec3& axis, float c, float s);

class CFacingObject : public CScriptObject {
 public:
  // Without an axis line the face turns about the vertical axis through the
  // mean of its vertices; with one, about the line's direction (normalised;
  // (0, 0, 1) when it has almost no length) through its first vertex.
  CFacingObject(WorldPolygon* face, const WorldPolygon* axisLine);

  // Once, after construction: the plane, the tangent and the texture
  // mapping relative to the centre; then the first Update.
  virtual void Init();
  // Turns the face toward the local player's ship (nothing without one).
  virtual void Update();
  // Turns the face so that its front points at the point.
  void FaceToward(const Vec3& viewer);

  WorldPolygon* GetFace() const { return face_; }
  bool HasAxisLine() const { return hasAxis_; }
  const Vec3& GetAxisPoint() const { return centre_; }
  const Vec3& GetAxisDirection() const { return axis_; }

  // Whether this frame rebuilds: always while the face was drawn within
  // the last 200 rendered frames, else once every three seconds of game time.
  bool RebuildDue();

 private:

  WorldPolygon* face_;
  PolygonGroup* group_;
  bool hasAxis_;
  std::vector<Vec3> shape_;     // vertices relative to the centre, last first
  std::vector<float> light_;    // their light values, in the same order
  Vec3 axis_ = {0, 1, 0};
  Vec3 centre_ = {0, 0, 0};
  Vec3 tangent_ = {0, 0, 0};
  Vec3 normal_ = {0, 0, 0};
  float planeD_ = 0.0f;
  Vec3 textureOrigin_ = {0, 0, 0};
  Vec3 textureU_ = {0, 0, 0};
  Vec3 textureV_ = {0, 0, 0};
  int lastUpdate_ = 0;              // game time of the last throttled rebuild
  FrameStamp seenStamp_ = 0;        // the face's last-drawn stamp when last looked at
  FrameStamp drawnFrame_ = 0;       // the rendered frame in which it was last drawn
};
