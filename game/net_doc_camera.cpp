// The camera of the frame about to be drawn: the local ship is stepped, then
// the view is placed in the cockpit, behind the ship (the chase camera, which
// catches up in fixed steps and keeps out of walls) or where a level script
// puts it; the chase view marks where the guns aim.
#include <cmath>
#include <cstring>

#include "engine/collision.h"
#include "engine/instance.h"
#include "engine/matrix.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "world/document/flat_polygons.h"
#include "world/paths/path_point.h"

namespace {

constexpr int kChaseStepMs = 33;
// The camera is within (7/8)^64 of its target after this many steps; a
// longer gap (the chase view off for a while) is not worked through.
constexpr int kMaxChaseSteps = 64;
constexpr float kAimRange = 2000.0f;
// Closer than this a script camera's target gives it no direction.
constexpr float kMinLookDistance = 0.001f;

// A frame at from looking at to, its x axis level.
void LookAt(const Vec3& from, const Vec3& to, float out[16]) {
  const float h[3] = {to.x - from.x, to.y - from.y, to.z - from.z};
  float a[3] = {h[2], 0.0f, -h[0]};
  if (std::abs(h[0]) + std::abs(h[2]) < 0.01f) a[0] = 1.0f, a[1] = 0.0f, a[2] = 0.0f;
  const float y[3] = {h[1] * a[2] - h[2] * a[1], h[2] * a[0] - h[0] * a[2], h[0] * a[1] - h[1] * a[0]};
  const float m[16] = {a[0], a[1], a[2], 0, y[0], y[1], y[2], 0, h[0], h[1], h[2], 0, from.x, from.y, from.z, 1};
  MatrixPush();
  MatrixLoad(m);
  MatrixOrthonormalise();
  MatrixGet(out);
  MatrixPop();
}

}  // namespace

void CNetDoc::UpdateCamera() {
  if (aimMarker_) PolygonDelete(aimMarker_);
  aimMarker_ = nullptr;
  CDirectPlayer* ship = localPlayer_;
  if (!ship) return;
  ship->Update();
  float* m = ship->GetOrientation();
  const float radius = ship->GetRadius();

  if (cameraSlots_[2] && cameraSlots_[3] && !cameraSlots_[3]->IsFinished()) {
    LookAt(cameraSlots_[2]->GetPoint(), cameraSlots_[3]->GetPoint(), m);
    if (shipInstance_) InstanceSetMatrix(shipInstance_, m, shipInstance_->animTime);
  }
  const Vec3 position = {m[12], m[13], m[14]};

  MatrixPush();
  MatrixLoad(m);
  if (cameraSlots_[0]) {
    Matrix look;
    const Vec3 from = cameraSlots_[0]->GetPoint();
    const Vec3 target = cameraSlots_[1] ? cameraSlots_[1]->GetPoint() : position;
    // A target on the camera itself (both at the end of one path) gives no
    // direction: the camera keeps looking the way it last did.
    const Vec3 d = {target.x - from.x, target.y - from.y, target.z - from.z};
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (length > kMinLookDistance) scriptLook_ = {d.x / length, d.y / length, d.z / length};
    LookAt(from, {from.x + scriptLook_.x, from.y + scriptLook_.y, from.z + scriptLook_.z}, look);
    MatrixLoad(look);
  } else if (chaseView_) {
    const uint32_t now = static_cast<uint32_t>(GetGameTime());
    if (chaseStepTime_ == 0) chaseStepTime_ = now;
    if (now - chaseStepTime_ > static_cast<uint32_t>(kChaseStepMs * kMaxChaseSteps)) {
      chaseStepTime_ = now - kChaseStepMs * kMaxChaseSteps;
    }
    while (now - chaseStepTime_ >= static_cast<uint32_t>(kChaseStepMs)) {
      chaseStepTime_ += kChaseStepMs;
      Vec3 target = position;
      for (int i = 0; i < 3; ++i) {
        (&target.x)[i] += chaseOffset_.x * m[i] + chaseOffset_.y * m[4 + i] + chaseOffset_.z * m[8 + i];
      }
      // A chase point on the ship itself has no wall before it (the engine
      // takes a cast of no length as blocked).
      const bool apart = target.x != position.x || target.y != position.y || target.z != position.z;
      if (world_ && apart) {
        // A wall between the ship and its chase point: the camera comes in
        // front of the wall and rises over the ship, or closes in on it.
        CollideSetInstanceChecks(0);
        if (CollideSegment(world_, position.x, position.y, position.z, &target.x, &target.y, &target.z)) {
          for (int i = 0; i < 3; ++i) (&target.x)[i] += -0.85f * radius * m[4 + i];
          Vec3 again = target;
          if (CollideSegment(world_, position.x, position.y, position.z, &again.x, &again.y, &again.z)) {
            for (int i = 0; i < 3; ++i) (&target.x)[i] = ((&target.x)[i] * 15.0f + (&position.x)[i]) / 16.0f;
          }
        }
      }
      for (int i = 0; i < 3; ++i) (&chaseCamera_.x)[i] = ((&chaseCamera_.x)[i] * 7.0f + (&target.x)[i]) / 8.0f;
    }
    const float d[3] = {chaseCamera_.x - position.x, chaseCamera_.y - position.y, chaseCamera_.z - position.z};
    const float offset = std::sqrt(chaseOffset_.x * chaseOffset_.x + chaseOffset_.y * chaseOffset_.y +
                                   chaseOffset_.z * chaseOffset_.z);
    if (std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]) < 0.55f * radius && offset <= 1.1920929e-7f) {
      chaseView_ = 0;
      if (view_) view_->InvalidateHud();
    }
    MatrixTranslate(d[0], d[1], d[2]);
    if (shipInstance_) {
      MatrixPush();
      MatrixLoad(m);
      ship->ApplyShake(3.0f);
      Matrix drawn;
      MatrixGet(drawn);
      MatrixPop();
      InstanceSetMatrix(shipInstance_, drawn, shipInstance_->animTime);
    }
  } else {
    ship->ApplyShake(1.0f);
    if (shipInstance_) InstanceSetMatrix(shipInstance_, g_CurrentMatrix, shipInstance_->animTime);
  }
  MatrixInvert();
  if (viewer_) MatrixGet(viewer_->cameraMatrix);
  MatrixPop();

  if (chaseView_ && !ship->IsDead() && world_) {
    const float* h = m + 8;
    Vec3 from = position, to;
    for (int i = 0; i < 3; ++i) (&from.x)[i] += radius * 1.1f * h[i];
    for (int i = 0; i < 3; ++i) (&to.x)[i] = (&from.x)[i] + kAimRange * h[i];
    CollideSetInstanceChecks(1);
    if (CollideSegment(world_, from.x, from.y, from.z, &to.x, &to.y, &to.z)) {
      aimMarker_ = CreateRoundMarkPolygon(to.x - 0.3f * h[0], to.y - 0.3f * h[1], to.z - 0.3f * h[2], h[0], h[1], h[2],
                                          0.6f, NearestPaletteIndex(255, 0, 0));
    }
    CollideSetInstanceChecks(0);
  }
}
