// Enemy movement: legs with rising and falling speed, turning toward target
// angles, the ground and altitude rules of the movement modes, walls, falls,
// crash dives, level paths, the escort's leash and enemies riding a moving
// polygon group.
#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/collision.h"
#include "engine/instance.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "world/enemies/new_enemy.h"
#include "world/objects/collision_settings.h"
#include "world/paths/path.h"
#include "world/script/event_manager.h"

namespace {

constexpr float kTwoPi = 2.0f * kEnemyPi;
constexpr float kFallTumble = 1.5f;        // radians per second on each axis
constexpr float kBossPartSpin = 0.75f;     // type 38, radians per second
constexpr int32_t kSmokeEveryMs = 500;
constexpr int32_t kWobbleMs = 1000;
constexpr int32_t kWobbleStepMs = 50;
constexpr int32_t kDyingDelayMs = 250;
constexpr float kGroundProbe = 1000.0f;

float Length(const float* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// A row vector through the 3 x 3 rotation of a matrix.
void Rotate(const float* m, const float* v, float* out) {
  const float x = v[0], y = v[1], z = v[2];
  out[0] = x * m[0] + y * m[4] + z * m[8];
  out[1] = x * m[1] + y * m[5] + z * m[9];
  out[2] = x * m[2] + y * m[6] + z * m[10];
}

bool LocalPlayerAlive() {
  CNetDoc* doc = GetNetDoc();
  return doc && doc->GetLocalPlayer() && !doc->GetLocalPlayer()->IsDead();
}

}  // namespace

void CNewEnemy::WrapAngle(float* angle) {
  if (!std::isfinite(*angle)) {
    *angle = 0.0f;
    return;
  }
  // Wrapped whole, not by one step: a long tumble can take an angle several
  // turns out.
  if (*angle < -kEnemyPi || *angle > kEnemyPi) {
    float a = std::fmod(*angle, kTwoPi);
    if (a < -kEnemyPi) a += kTwoPi;
    if (a > kEnemyPi) a -= kTwoPi;
    *angle = a;
  }
}

float CNewEnemy::AngleDelta(float a, float b) {
  const float d = a - b;
  if (std::fabs(d) <= kEnemyPi) return d;
  return d < 0.0f ? d + kTwoPi : kTwoPi - d;
}

void CNewEnemy::SetTurnDirection(int axis) {
  const float target = targetAngle_[axis], angle = angle_[axis];
  if (target == angle) {
    angularDir_[axis] = 0.0f;
    return;
  }
  float dir = target > angle ? 1.0f : -1.0f;
  if (std::fabs(target - angle) > kEnemyPi) dir = -dir;
  angularDir_[axis] = dir;
}

float CNewEnemy::CollisionVerticalScale() const {
  // A ground vehicle's sphere is squashed to its half height (a little
  // less), so that resting on the floor is no contact and only walls and
  // steps stop it; everything else collides as a sphere.
  const float r = Radius(), h = HalfHeight();
  if ((mode_ == kMoveGround || mode_ == kMoveTerrain) && h > 0.0f && r > 0.9f * h) return r / (0.9f * h);
  return 1.0f;
}

bool CNewEnemy::IsMoving() const {
  for (int i = 0; i < 3; ++i) {
    if (moveDir_[i] != 0.0f || dormant_[i] != 0.0f || angularDir_[i] != 0.0f) return true;
  }
  return false;
}

float CNewEnemy::ApproachSpeed(float* current, float maximum, float halfLeg, float remaining, float acceleration,
                               float seconds) const {
  if (followingPath_) return acceleration < 0.0f ? -maximum : maximum;
  float speed = *current;
  if (remaining >= halfLeg) {
    speed += acceleration * seconds;
  } else {
    speed -= acceleration * seconds;
  }
  *current = speed;
  if (acceleration > 0.0f) return speed < maximum ? speed : maximum;
  return speed > -maximum ? speed : -maximum;
}

void CNewEnemy::FaceToward(float x, float y, float z) {
  float v[3] = {x - pos_[0], y - pos_[1], z - pos_[2]};
  aimDistance_ = Length(v);
  if (aimDistance_ < 0.0001f) return;
  if (!lineOfSight_ && !(followingPath_ && !fearful_)) return;
  if (mode_ == kMoveGround) {
    for (int i = 0; i < 3; ++i) groundDir_[i] = v[i] / aimDistance_;
  } else if (mode_ == kMoveStationary) {
    Rotate(invWorld_, v, v);
  }
  const float length = Length(v);
  if (length < 0.0001f) return;
  // Clamped: rounding can take the ratio a hair past 1 for a point straight
  // above or below.
  float ratio = -v[1] / length;
  ratio = ratio > 1.0f ? 1.0f : (ratio < -1.0f ? -1.0f : ratio);
  const float pitch = std::asin(ratio);
  // atan2 keeps the side of a point straight to the left or right, which a
  // quotient over a vanishing z would lose.
  float heading = std::atan2(v[0], v[2]);
  WrapAngle(&heading);
  if (mode_ == kMoveGround || mode_ == kMoveAltitude || mode_ == kMoveTerrain) {
    targetAngle_[0] = 0.0f, targetAngle_[1] = heading, targetAngle_[2] = 0.0f;
  } else {
    targetAngle_[0] = pitch, targetAngle_[1] = heading, targetAngle_[2] = angle_[2];
  }
  for (int axis = 0; axis < 3; ++axis) SetTurnDirection(axis);
}

void CNewEnemy::MoveTo(float x, float y, float z, float d, bool noFace) {
  speed_ = 0.0f;
  if (!noFace && !sliding_) FaceToward(x, y, z);
  if ((type_ == kKindTank || type_ == kKindTankm) && !followingPath_ &&
      std::fabs(AngleDelta(targetAngle_[1], angle_[1])) > 0.1f) {
    return;  // turns on the spot first
  }
  if (!chasing_ && !IsBossStage() && !lineOfSight_ && !(followingPath_ && !fearful_)) return;
  dest_[0] = x, dest_[1] = y, dest_[2] = z;
  if (mode_ == kMoveGround || mode_ == kMoveAltitude) dest_[1] = pos_[1];
  float v[3] = {dest_[0] - pos_[0], dest_[1] - pos_[1], dest_[2] - pos_[2]};
  const float length = Length(v);
  if (length * length - d * d >= 0.0001f) {
    halfLeg_ = length / 2.0f;
    for (int i = 0; i < 3; ++i) {
      moveDir_[i] = v[i] / length;
      dest_[i] -= d * moveDir_[i];
    }
  } else {
    moveDir_[0] = moveDir_[1] = moveDir_[2] = 0.0f;
  }
}

void CNewEnemy::ReturnHome() { MoveTo(home_[0], home_[1], home_[2], 0.0f, false); }
void CNewEnemy::ResumeMove() { MoveTo(dest_[0], dest_[1], dest_[2], 0.0f, false); }

bool CNewEnemy::AtPoint(const float* p) const {
  const float dx = std::fabs(p[0] - pos_[0]), dy = std::fabs(p[1] - pos_[1]), dz = std::fabs(p[2] - pos_[2]);
  switch (mode_) {
    case kMoveFree:
      return dx + dy + dz < 0.1f;
    case kMoveGround:
    case kMoveAltitude:
    case kMoveTerrain:
      return dx + dz < 0.1f;
    default:
      return false;
  }
}

void CNewEnemy::FollowPath(CNewPath* path, int mode) {
  pathMode_ = mode;
  path_ = path;
  followingPath_ = 1;
  pathNode_ = path ? path->NearestNode(pos_[0], pos_[1], pos_[2]) : nullptr;
  if (pathNode_) MoveTo(pathNode_->GetX(), pathNode_->GetY(), pathNode_->GetZ(), 0.0f, false);
}

void CNewEnemy::FollowPathStep() {
  CPathNode* node = pathNode_;
  if (!node) return;
  const float dx = node->GetX() - pos_[0], dy = node->GetY() - pos_[1], dz = node->GetZ() - pos_[2];
  const bool flat = mode_ == kMoveGround || mode_ == kMoveTerrain;
  const float d2 = dx * dx + (flat ? 0.0f : dy * dy) + dz * dz;
  if (node->GetRadius() > d2) {
    if (node->HasEvent()) {
      pendingPathEvent_ = node->GetEvent();
      hasPendingPathEvent_ = true;
    }
    if (CPathNode* next = node->GetNext()) {
      pathNode_ = next;
      MoveTo(next->GetX(), next->GetY(), next->GetZ(), 0.0f, false);
    } else {
      if (pathMode_ == 1) followingPath_ = 0, pathMode_ = 0;
      sliding_ = 0;
    }
  } else if (contact_) {
    MoveTo(node->GetX(), node->GetY(), node->GetZ(), 0.0f, false);
  }
}

void CNewEnemy::KeepEscortDistance() {
  CNewEnemy* escort = Live(escortTargetId_);
  if (!escort || escort == this) return;
  const float v[3] = {pos_[0] - escort->pos_[0], pos_[1] - escort->pos_[1], pos_[2] - escort->pos_[2]};
  const float d = Length(v);
  if (d <= leash_ || d <= 0.0f) return;
  for (int i = 0; i < 3; ++i) pos_[i] = escort->pos_[i] + v[i] / d * leash_;
}

bool CNewEnemy::FindGround(float x, float y, float z, float* groundY) const {
  World* world = instance_ ? instance_->world : nullptr;
  if (!world) return false;
  // The cast meets the world only; the caller's settings come back after.
  CollisionSettingsScope settings;
  CollideSetInstanceChecks(0);
  float ex = x, ey = y + kGroundProbe, ez = z;
  if (!CollideSegment(world, x, y, z, &ex, &ey, &ez)) return false;
  *groundY = ey;
  return true;
}

void CNewEnemy::StartFalling(int cause) {
  if (falling_) return;
  speed_ = 0.0f;
  fallCause_ = cause;
  falling_ = 1;
  manoeuvring_ = 0;
  chasing_ = 0;
}

void CNewEnemy::MarkDying() {
  dying_ = 1;
  dyingStamp_ = GetGameTime();
}

bool CNewEnemy::DyingDelayOver() const { return GameTimeSince(dyingStamp_, GetGameTime()) > kDyingDelayMs; }

void CNewEnemy::StartCrash(float x, float y, float z) {
  float f[3], s[3], u[3];
  GetBodyForward(&f[0], &f[1], &f[2]);
  GetSideDir(&s[0], &s[1], &s[2]);
  GetUpDir(&u[0], &u[1], &u[2]);
  const float to[3] = {x, y, z};
  if (!IsClear(pos_, to, f, s, u)) return;
  crashing_ = 1;
  ClearWaypoints();
  waypointsWanted_ = 2;
  maxSpeed_ = 4.0f * g_EnemyTypeParams[type_].speed;
  acceleration_ = 10.0f * g_EnemyTypeParams[type_].acceleration;
  StartManoeuvre(x, y, z);
}

void CNewEnemy::Wobble(int32_t now) {
  if (GameTimeSince(wobbleStart_, now) > kWobbleMs) {
    rollOffset_ = 0.0f;
    wobbling_ = 0;
    return;
  }
  if (GameTimeSince(wobbleStep_, now) <= kWobbleStepMs) return;
  const float degrees = static_cast<float>(CrtRand() % 10);
  const bool wasPositive = rollOffset_ > 0.0f;
  rollOffset_ = degrees * kEnemyPi / 180.0f;
  if (wasPositive) rollOffset_ = -rollOffset_;
  wobbleStep_ = now;
}

void CNewEnemy::ClearWaypoints() {
  manoeuvring_ = 0;
  waypointCount_ = waypointIndex_ = 0;
  for (int i = 0; i < 3; ++i) moveDir_[i] = dormant_[i] = 0.0f;
}

void CNewEnemy::StopChase() {
  if (!chasing_) return;
  chasing_ = 0;
  for (int i = 0; i < 3; ++i) moveDir_[i] = dormant_[i] = 0.0f;
}

void CNewEnemy::SetTracked() {
  beacon_ = 1;
  if (CNetDoc* doc = GetNetDoc()) doc->SetEnemyBeacon(true, pos_);
}

void CNewEnemy::UpdateMotion(float tx, float ty, float tz, int32_t now) {
  if (stopped_) {
    lastUpdate_ = now;
    return;
  }
  if (instance_) instance_->drawn = 0;
  if (mode_ != kMoveStationary) busy_ = (chasing_ || manoeuvring_) ? 1 : 0;
  StoreTargetPoint(tx, ty, tz);
  CNetDoc* doc = GetNetDoc();
  if (beacon_ && doc) doc->SetEnemyBeacon(true, pos_);

  if (GameTimeSince(lastUpdate_, now) <= 0) {
    hitThisFrame_ = 0;
    return;
  }
  if (GameTimeSince(lastUpdate_, now) > kEnemyMaxStepMs) lastUpdate_ = GameTimeAdd(now, -kEnemyMaxStepMs);
  const float seconds = static_cast<float>(GameTimeSince(lastUpdate_, now)) / 1000.0f;

  if (type_ == kKindFboss5) {
    angle_[0] += kBossPartSpin * seconds;
    angle_[1] += kBossPartSpin * seconds;
    WrapAngle(&angle_[0]);
    WrapAngle(&angle_[1]);
    PrepareRender(0.0f);
    lastUpdate_ = now;
    return;
  }

  const float old[3] = {pos_[0], pos_[1], pos_[2]};
  const float oldAngle[3] = {angle_[0], angle_[1], angle_[2]};
  const float r = Radius();
  if (hitPoints_ < g_EnemyTypeParams[type_].smokeBelow && GameTimeSince(lastSmoke_, now) > kSmokeEveryMs) {
    float u[3];
    GetUpDir(&u[0], &u[1], &u[2]);
    if (doc) {
      doc->SpawnSmoke(0, 0, pos_[0] + 1.1f * r * u[0], pos_[1] + 1.1f * r * u[1], pos_[2] + 1.1f * r * u[2], 0.9f * r);
    }
    lastSmoke_ = now;
    if (type_ == kKindManta && !crashing_) {
      StartCrash(tx, ty, tz);
      return;
    }
  }

  if (instance_ && instance_->parentGroup) {
    const float* m = instance_->parentGroup->worldMatrix;
    const float h[3] = {home_[0], home_[1], home_[2]};
    for (int i = 0; i < 3; ++i) pos_[i] = h[0] * m[i] + h[1] * m[4 + i] + h[2] * m[8 + i] + m[12 + i];
  }

  World* world = instance_ ? instance_->world : nullptr;
  // A falling enemy always takes its fall, even with no leg or turn under
  // way when it was killed; a path follower standing on its node still
  // takes the path step that sends it on.
  const bool moves = falling_ || wobbling_ || ((IsMoving() || followingPath_) && lastUpdate_ != 0);
  if (!dying_ && moves) {
    CollisionSettingsScope settings;
    g_CollideVerticalScale = CollisionVerticalScale();
    bool skipToLeash = false;
    if (falling_) {
      moveDir_[1] += kEnemyGravity * seconds;
      for (int i = 0; i < 3; ++i) {
        pos_[i] += moveDir_[i] * seconds;
        angle_[i] += kFallTumble * seconds;
        WrapAngle(&angle_[i]);
      }
      bool touched = false;
      if (world) {
        CollideSetIgnore(instance_);
        float end[3] = {pos_[0], pos_[1], pos_[2]};
        float sphere[3] = {pos_[0], pos_[1], pos_[2]};
        touched = CollideSegment(world, old[0], old[1], old[2], &end[0], &end[1], &end[2]) != 0 ||
                  WorldCollideSphere(world, &sphere[0], &sphere[1], &sphere[2], r) != 0;
        CollideSetIgnore(nullptr);
      }
      if (touched) {
        // Landed where the fall met the world.
        falling_ = 0;
        for (int i = 0; i < 3; ++i) pos_[i] = old[i], moveDir_[i] = 0.0f;
      }
      skipToLeash = true;
    }
    if (!skipToLeash) {
      if (followingPath_ || moveDir_[0] != 0.0f || moveDir_[1] != 0.0f || moveDir_[2] != 0.0f) {
        const float left[3] = {dest_[0] - pos_[0], dest_[1] - pos_[1], dest_[2] - pos_[2]};
        const float before = speed_;
        const float v = ApproachSpeed(&speed_, maxSpeed_, halfLeg_, Length(left), acceleration_, seconds);
        const float step = v * seconds;
        if (before > 0.0f && speed_ <= 0.0f) {
          for (int i = 0; i < 3; ++i) pos_[i] = dest_[i], moveDir_[i] = 0.0f;
          speed_ = 0.0f;
        } else {
          for (int i = 0; i < 3; ++i) {
            const float move = step * moveDir_[i];
            if (std::fabs(dest_[i] - pos_[i]) <= std::fabs(move)) {
              pos_[i] = dest_[i];
              moveDir_[i] = 0.0f;
            } else {
              pos_[i] += move;
            }
          }
        }
      }
      if (angularDir_[0] != 0.0f || angularDir_[1] != 0.0f || angularDir_[2] != 0.0f) {
        for (int i = 0; i < 3; ++i) {
          if (angularDir_[i] == 0.0f) continue;
          const float turn = seconds * angularDir_[i] * turnRate_;
          if (std::fabs(turn) >= std::fabs(AngleDelta(targetAngle_[i], angle_[i]))) {
            angle_[i] = targetAngle_[i];
            angularDir_[i] = 0.0f;
            dormant_[i] = 0.0f;
          } else {
            angle_[i] += turn;
            WrapAngle(&angle_[i]);
          }
        }
      }
    }
    KeepEscortDistance();

    CollideSetIgnore(instance_);
    if (manoeuvring_ || followingPath_ || collisionState_ == 1) CollideSetMode(kCollideInstancesOnly);
    if (mode_ != kMoveStationary && world) {
      float p[3] = {pos_[0], pos_[1], pos_[2]};
      if (type_ == kKindGb) p[1] += 10.0f;
      contact_ = WorldCollideSphere(world, &p[0], &p[1], &p[2], r) != 0 ? 1 : 0;
      if (type_ == kKindGb) {
        pos_[0] = p[0], pos_[1] = p[1] - 10.0f, pos_[2] = p[2];
      } else if (contact_) {
        for (int i = 0; i < 3; ++i) pos_[i] = old[i];
      }
      if (crashing_ && contact_) hitPoints_ = -1.0f;
      if (manoeuvring_ && contact_) manoeuvreDone_ = 1;
      if (contact_ && followingPath_) {
        for (int i = 0; i < 3; ++i) pos_[i] = old[i], angle_[i] = oldAngle[i];
      }
    }
    const float h = HalfHeight();
    if (mode_ == kMoveAltitude) {
      pos_[1] = old[1];
    } else if (mode_ == kMoveGround || mode_ == kMoveTerrain) {
      pos_[1] += r - h;
    }
    CollideSetIgnore(nullptr);
    if (followingPath_ && LocalPlayerAlive()) FollowPathStep();
    if (mode_ == kMoveGround || mode_ == kMoveTerrain) {
      float g = 0.0f;
      if (!FindGround(pos_[0], pos_[1] - h, pos_[2], &g)) {
        pos_[1] = old[1];
      } else if (std::fabs((g - h) - old[1]) < h) {
        pos_[1] = g - h;
      } else if (mode_ == kMoveTerrain) {
        pos_[1] = g - h;
        if (manoeuvring_) manoeuvreDone_ = 1;
      } else {
        // A step too high or too deep: the vehicle stays.
        for (int i = 0; i < 3; ++i) pos_[i] = old[i], moveDir_[i] = 0.0f;
      }
    }
    CollideSetMode(kCollideWorldAndInstances);
    if (wobbling_ && mode_ != kMoveStationary) Wobble(now);
    PrepareRender(seconds);
  } else if (instance_ && instance_->parentGroup) {
    // Carried by its group even when it does not move itself.
    PrepareRender(0.0f);
  }
  if (manoeuvring_) NextWaypoint(tx, ty, tz, now);
  lastUpdate_ = now;
  AnimateParts(now);
  if (type_ == kKindBossa && IsMoving() && !spinning_) SetSpinning(true);
  hitThisFrame_ = 0;

  if (hasPendingPathEvent_) {
    // Last: the event may remove this very enemy.
    hasPendingPathEvent_ = false;
    const std::string text = std::move(pendingPathEvent_);
    pendingPathEvent_.clear();
    const std::string source = instance_ ? instance_->name : "";
    if (g_pEventManager) g_pEventManager->RaiseEvent(text.c_str(), source.c_str());
  }
}
