// Pursuit: the candidates of an attack manoeuvre (drawn at random within
// the type's pattern round the target or round the enemy, pushed out of the
// level's geometry, on the ground for the ground modes) and the chase along
// the trail of places where the target was last seen.
#include <cmath>
#include <cstdlib>

#include "engine/collision.h"
#include "engine/instance.h"
#include "engine/matrix.h"
#include "platform/crt_random.h"
#include "world/enemies/new_enemy.h"
#include "world/objects/collision_settings.h"

namespace {
constexpr float kDegrees = kEnemyPi / 180.0f;

// v turned first about a by angleA, then about b by angleB (degrees), as the
// engine's matrices turn (b null: one turn only).
void Rotate(const float* v, const float* a, float angleA, const float* b, float angleB, float* out) {
  const bool pushed = MatrixPush() != 0;
  MatrixIdentity();
  if (a) MatrixRotateAxis(a[0], a[1], a[2], angleA * kDegrees);
  if (b) MatrixRotateAxis(b[0], b[1], b[2], angleB * kDegrees);
  MatrixTransformPoint(v[0], v[1], v[2], &out[0], &out[1], &out[2]);
  if (pushed) MatrixPop();
}

float Spread(int range) { return static_cast<float>(range / 2 - CrtRand() % range); }  // range/2 - rand%range
float Turnaround() { return static_cast<float>(CrtRand() % 360); }
float Scatter() { return 0.5f + 0.05f * static_cast<float>(CrtRand() % 10); }

void Place(float* c, const float* base, const float* dir, float scale) {
  for (int i = 0; i < 3; ++i) c[i] = base[i] + scale * dir[i];
}
}  // namespace

void CNewEnemy::PlanBasis(const float* t, float* f, float* s, float* u) const {
  GetBodyForward(&f[0], &f[1], &f[2]);
  GetSideDir(&s[0], &s[1], &s[2]);
  GetUpDir(&u[0], &u[1], &u[2]);
  if (mode_ != kMoveFree) return;
  float k[3] = {t[0] - pos_[0], t[1] - pos_[1], t[2] - pos_[2]};
  const float length = std::sqrt(k[0] * k[0] + k[1] * k[1] + k[2] * k[2]);
  if (length <= 0.0f) return;
  for (float& v : k) v /= length;
  if (std::fabs(k[0] - f[0]) + std::fabs(k[1] - f[1]) + std::fabs(k[2] - f[2]) <= 0.001f) return;
  const float axis[3] = {k[1] * f[2] - k[2] * f[1], k[2] * f[0] - k[0] * f[2], k[0] * f[1] - k[1] * f[0]};
  float cosine = f[0] * k[0] + f[1] * k[1] + f[2] * k[2];
  // Rounding may leave the dot product just outside acos's domain.
  cosine = std::fmax(-1.0f, std::fmin(1.0f, cosine));
  float turned[3];
  Rotate(f, axis, std::acos(cosine) / kDegrees, nullptr, 0.0f, turned);
  for (int i = 0; i < 3; ++i) f[i] = turned[i], u[i] = axis[i];
  s[0] = f[1] * u[2] - f[2] * u[1];
  s[1] = f[2] * u[0] - f[0] * u[2];
  s[2] = f[0] * u[1] - f[1] * u[0];
}

bool CNewEnemy::DrawCandidate(const float* t, float j, const float* f, const float* s, const float* u, int count,
                              float lastAngle, bool* middleUsed, float* c, float* angle) {
  const float back[3] = {-f[0], -f[1], -f[2]};
  float dir[3];
  float a1 = 0.0f;
  bool ground = false;
  float groundSlack = 0.0f;
  bool below = false;  // mode 5: only drops, never climbs beyond the slack
  const float h = HalfHeight();
  *angle = 0.0f;
  switch (mode_) {
    case kMoveFree: {
      const bool diving = crashing_ && (type_ == kKindManta || type_ == kKindDrone2);
      if (diving) {
        c[0] = t[0], c[1] = t[1], c[2] = t[2];
      } else if (type_ == kKindDw) {
        a1 = Spread(180);
        Rotate(back, u, a1, s, Spread(180), dir);
        Place(c, t, dir, j);
      } else if (type_ == 17 || type_ == kKindAc) {
        Rotate(back, u, Spread(180), nullptr, 0.0f, dir);
        Place(c, t, dir, 3.0f * j);
      } else if (type_ == 21 && count == 2) {
        Rotate(f, s, Spread(40), nullptr, 0.0f, dir);
        Place(c, t, dir, 3.0f * j);
      } else if (type_ == 21) {
        a1 = Spread(180);
        Rotate(f, u, a1, s, Spread(180), dir);
        Place(c, pos_, dir, j);
      } else if (type_ == kKindDgh) {
        const float z = count % 2 == 0 ? 2.0f * j : 20.0f;
        a1 = Spread(40);
        Rotate(back, u, a1, s, Spread(40), dir);
        Place(c, t, dir, z);
      } else if (type_ == kKindDrone2 && pairRole_ == 1) {
        Rotate(back, u, static_cast<float>(CrtRand() % 90), nullptr, 0.0f, dir);
        Place(c, t, dir, 2.0f * j);
      } else if (type_ == kKindDrone2 && pairRole_ == 2) {
        Rotate(back, u, -static_cast<float>(CrtRand() % 90), nullptr, 0.0f, dir);
        Place(c, t, dir, 2.5f * j);
      } else {
        const float scale = Scatter();
        a1 = Turnaround();
        Rotate(f, u, a1, s, Turnaround(), dir);
        Place(c, pos_, dir, j * scale);
      }
      break;
    }
    case kMoveGround: {
      const float scale = Scatter();
      Rotate(s, u, Turnaround(), nullptr, 0.0f, dir);
      Place(c, type_ == kKindBossa ? home_ : pos_, dir, j * scale);
      ground = true;
      groundSlack = type_ == kKindBossa ? 0.25f * h : h;
      break;
    }
    case kMoveAltitude: {
      const float scale = Scatter();
      const int wanted = waypointsWanted_ > 0 ? waypointsWanted_ : 1;
      *angle = (lastAngle - 180.0f / static_cast<float>(wanted)) - Spread(20);
      Rotate(s, u, *angle, nullptr, 0.0f, dir);
      Place(c, t, dir, j * scale);
      c[1] = pos_[1];
      break;
    }
    case kMoveTerrain: {
      if (count == waypointsWanted_ / 2 && !*middleUsed) {
        *middleUsed = true;
        c[0] = t[0], c[1] = pos_[1], c[2] = t[2];
      } else {
        const float scale = Scatter();
        Rotate(s, u, Turnaround(), nullptr, 0.0f, dir);
        Place(c, pos_, dir, j * scale);
      }
      ground = true;
      below = true;
      groundSlack = h;
      break;
    }
    default:
      return false;  // stationary guns and sentries draw nothing
  }
  World* world = instance_ ? instance_->world : nullptr;
  if (world) {
    CollisionSettingsScope settings;
    CollideSetIgnore(instance_);
    WorldCollideSphere(world, &c[0], &c[1], &c[2], 1.2f * Radius());
  }
  if (mode_ == kMoveAltitude) c[1] = pos_[1];
  if (ground) {
    float g = 0.0f;
    if (!FindGround(c[0], c[1], c[2], &g)) return false;
    const float rest = g - h;
    if (below ? pos_[1] - rest > groundSlack : std::fabs(rest - pos_[1]) > groundSlack) return false;
  }
  return true;
}

void CNewEnemy::ChaseTrail(float x, float y, float z) {
  if (type_ == kKindBossa) return;
  chasing_ = 1;
  World* world = instance_ ? instance_->world : nullptr;
  const bool groundMode = mode_ == kMoveGround || mode_ == kMoveAltitude || mode_ == kMoveTerrain;
  float f[3], s[3], u[3];
  GetBodyForward(&f[0], &f[1], &f[2]);
  GetSideDir(&s[0], &s[1], &s[2]);
  GetUpDir(&u[0], &u[1], &u[2]);
  const float t[3] = {x, y, z};
  const float* chosen = nullptr;
  float point[3];
  for (int back = 0; back < trailCount_ && !chosen; ++back) {
    const float* q = TrailPoint(back);
    if (q[0] == pos_[0] && q[1] == pos_[1] && q[2] == pos_[2]) continue;
    if (groundMode && world && WorldSegmentBlocked(world, pos_[0], pos_[1], pos_[2], q[0], pos_[1], q[2])) continue;
    if (IsClear(pos_, q, f, s, u) && (!world || !WorldSegmentBlocked(world, q[0], q[1], q[2], x, y, z))) {
      point[0] = q[0], point[1] = q[1], point[2] = q[2];
      chosen = point;
    }
  }
  trailCount_ = 0;
  trailHead_ = 0;
  if (!chosen) {
    if (groundMode && world && WorldSegmentBlocked(world, pos_[0], pos_[1], pos_[2], x, pos_[1], z)) {
      chasing_ = 0;
      return;
    }
    if (IsClear(pos_, t, f, s, u)) {
      point[0] = x, point[1] = y, point[2] = z;
      chosen = point;
    }
  }
  chasing_ = chosen ? 1 : 0;
  if (!chosen) return;
  ClearWaypoints();
  MoveTo(chosen[0], chosen[1], chosen[2], 0.0f, false);
}
