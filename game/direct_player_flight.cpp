// The ship's flight: a fixed-step integration of thrust in ship axes with
// speed limits and damping, turning by rates, and a sphere that slides along
// the world's polygons. A remote ship only shows its last reported state.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/collision.h"
#include "engine/instance.h"
#include "engine/matrix.h"
#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/ship_controls.h"
#include "game/ship_sounds.h"
#include "world/document/level_group_effects.h"

namespace {

constexpr int kFirstStepMs = 5;
constexpr int kMinStepMs = 3;
constexpr int kMaxStepMs = 261;
constexpr int kSubStepMs = 25;
constexpr int kKeepAliveMs = 3000;
constexpr float kTopSpeed = 135.0f;
constexpr float kCoastSpeed = 108.0f;  // without forward thrust
constexpr float kMaxRate = 50.0f;
constexpr int kSmokeIntervalMs = 300;

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
float Length(const float* a) { return std::sqrt(Dot(a, a)); }

// The ship's collision settings for the world queries.
void PrepareShipQuery() {
  g_CollideVerticalScale = 1.0f;
  CollideSetIgnore(g_pNetDoc ? g_pNetDoc->GetPlayerShip() : nullptr);
}

}  // namespace

void CDirectPlayer::Update() {
  if (!local_) {
    UpdateRemote();
    return;
  }
  CNetDoc* doc = g_pNetDoc;
  if (!doc) return;
  World* world = doc->GetWorld();
  const bool controls = !(g_pInterface && g_pInterface->IsMenuActive()) && !doc->IsConsoleOpen() &&
                        !doc->IsScriptCameraActive();
  const float radius = state_.radius;

  // The resting sphere: a ship that sits in a wall is pushed off it, and a
  // destructive surface burns it in proportion to how deep it sits.
  if (world && doc->IsShipCollisionOn()) {
    // The level groups the ship touches answer the ship (buttons, healing).
    CollisionSourceScope source(kCollisionSourceShip);
    PrepareShipQuery();
    float p[3] = {GetX(), GetY(), GetZ()};
    if (WorldCollideSphere(world, &p[0], &p[1], &p[2], radius)) {
      const float d[3] = {p[0] - GetX(), p[1] - GetY(), p[2] - GetZ()};
      Bump(d[0], d[1], d[2]);
      WorldPolygon* hit = CollideLastHit();
      const char* value = hit ? PolygonGetProperty(hit, "destructive") : nullptr;
      const float depth = Length(d);
      if (value && depth > radius * 0.01f) {
        const float weight = std::min(depth * 30.0f / radius, 20.0f);
        TakeDamageFrom(static_cast<float>(std::atof(value)) * weight, nullptr);
      }
    }
  }

  if (!dead_ && local_ && health_ < 1.0f) {
    Die();
    doc->OnPlayerKilled(this, nullptr);
  }

  const uint32_t now = static_cast<uint32_t>(GetGameTime());
  bool changed = false;
  int dt;
  if (lastStepTime_ == 0) {
    dt = kFirstStepMs;
    changed = true;
  } else {
    dt = GameTimeSince(static_cast<int32_t>(lastStepTime_), static_cast<int32_t>(now));
  }
  if (dt < kMinStepMs) return;
  lastStepTime_ = now;
  dt = std::min(dt, kMaxStepMs);

  if (!exploded_) {
    if (dead_) {
      countdown_ -= dt;
      if (countdown_ < 0) Explode();
      PublishState();
      if (!longDeath_) return;
    }
    float flow[3] = {0, 0, 0};
    float flowRoll = 0.0f;
    doc->GetFlowAt(GetX(), GetY(), GetZ(), radius * 1.5f, &flow[0], &flow[1], &flow[2], &flowRoll);
    if (controls) ReadControls(true, dt);

    const int steps = dt / kSubStepMs + 1;
    const float h = static_cast<float>(dt) / 1000.0f / static_cast<float>(steps);
    for (int i = 0; i < steps; ++i) Integrate(h, flow, flowRoll);
    speed_ = Length(state_.velocity);

    if (dead_) {
      smokeTime_ += dt;
      while (smokeTime_ > 0) {
        smokeTime_ -= kSmokeIntervalMs;
        doc->SpawnSmoke(0, 0, GetX(), GetY() - radius / 2.0f + RandomFloat(radius / 4.0f), GetZ(),
                        radius / 3.0f + RandomFloat(radius / 5.0f));
      }
    }
  }

  if (controls) {
    ReadControls();
    changed = true;
  }
  const bool keepAlive = GameTimeSince(static_cast<int32_t>(lastKeepAlive_), static_cast<int32_t>(now)) > kKeepAliveMs;
  if (keepAlive) lastKeepAlive_ = now;
  if (changed || keepAlive || exploded_) PublishState();
}

bool CDirectPlayer::Integrate(float h, const float flow[3], float flowRoll) {
  float* m = state_.matrix;
  float* v = state_.velocity;
  const float* t = state_.thrust;
  const float k = h * 40.0f;
  const float smallDamp = 0.7f - k * 0.02f;
  const float largeDamp = 0.8f - k * 0.02f;

  for (int i = 0; i < 3; ++i) v[i] += (m[i] * t[0] + m[4 + i] * t[1] + m[8 + i] * t[2]) * h;
  if (longDeath_) v[1] += 400.0f * h;
  const float limit = std::abs(t[2]) < 0.1f ? kCoastSpeed : kTopSpeed;
  float s = Length(v);
  if (s > 0.0f) {
    const bool sideways = std::abs(t[0]) >= 0.1f || std::abs(t[1]) >= 0.1f;
    if (sideways || std::abs(t[2]) >= 0.1f) {
      if (!sideways) {
        // Forward thrust alone: the ship's sideways drift dies away.
        const float across = Dot(v, m) * (0.15f + k / 60.0f);
        for (int i = 0; i < 3; ++i) v[i] -= m[i] * across;
        s = Length(v);
      }
    } else {
      s *= longDeath_ ? 0.98f - k * 0.005f : 0.9f - k * 0.0125f;
    }
    s = std::min(s, limit);
    const float now = Length(v);
    if (now > 0.0f && s != now) {
      for (int i = 0; i < 3; ++i) v[i] *= s / now;
    }
  }
  const float from[3] = {m[12], m[13], m[14]};
  float to[3];
  for (int i = 0; i < 3; ++i) to[i] = from[i] + (flow[i] + v[i]) * h;

  float* rate = state_.angularVelocity;
  const float* accel = state_.angularAccel;
  for (int i = 0; i < 3; ++i) {
    rate[i] = std::clamp(rate[i] + accel[i] * h, -kMaxRate, kMaxRate);
    if (!longDeath_ && rate[i] * accel[i] < 1.0f) rate[i] *= std::abs(rate[i]) < 12.5f ? smallDamp : largeDamp;
  }

  // Turn about the ship's own axes; the first roll term levels the wings.
  MatrixPush();
  Matrix turn;
  std::memcpy(turn, m, sizeof(Matrix));
  turn[12] = turn[13] = turn[14] = 0.0f;
  MatrixLoad(turn);
  MatrixRotateAxis(g_CurrentMatrix[0], g_CurrentMatrix[1], g_CurrentMatrix[2], rate[0] * h * 0.1f);
  MatrixRotateAxis(g_CurrentMatrix[4], g_CurrentMatrix[5], g_CurrentMatrix[6], rate[1] * h * 0.1f);
  MatrixRotateAxis(g_CurrentMatrix[8], g_CurrentMatrix[9], g_CurrentMatrix[10],
                   g_CurrentMatrix[1] * 0.04f + (flowRoll + rate[2]) * h * 0.1f);
  MatrixOrthonormalise();
  MatrixGet(turn);
  MatrixPop();
  for (int i = 0; i < 12; ++i) m[i] = turn[i];

  bool hit = false;
  if (g_pNetDoc && g_pNetDoc->GetWorld() && g_pNetDoc->IsShipCollisionOn()) hit = MoveWithCollision(from, to);
  m[12] = to[0];
  m[13] = to[1];
  m[14] = to[2];
  if (longDeath_ && !exploded_ && countdown_ > 1000 && countdown_ < 9000 && hit && Dot(v, v) < 25.0f) Explode();
  return hit;
}

bool CDirectPlayer::MoveWithCollision(const float from[3], float to[3]) {
  World* world = g_pNetDoc->GetWorld();
  const float radius = state_.radius;
  const float d[3] = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
  const float distance = Length(d);
  CollisionSourceScope source(kCollisionSourceShip);
  PrepareShipQuery();
  bool walk = distance < radius / 2.0f ||
              WorldSegmentBlocked(world, from[0], from[1], from[2], to[0], to[1], to[2]);
  if (!walk) {
    float mid[3] = {(from[0] + to[0]) / 2.0f, (from[1] + to[1]) / 2.0f, (from[2] + to[2]) / 2.0f};
    walk = WorldCollideSphere(world, &mid[0], &mid[1], &mid[2], radius * 1.1f + distance / 2.0f) != 0;
  }
  if (!walk) return false;
  // Steps of at most half the radius, so that no wall is passed between
  // two of them.
  const int steps = static_cast<int>(std::floor(distance / (radius / 2.0f))) + 1;
  float at[3] = {from[0], from[1], from[2]};
  bool hit = false;
  for (int i = 0; i < steps; ++i) {
    for (int j = 0; j < 3; ++j) at[j] += d[j] / static_cast<float>(steps);
    PrepareShipQuery();
    if (WorldCollideSphere(world, &at[0], &at[1], &at[2], radius)) hit = true;
  }
  if (!hit) return false;
  Bump(at[0] - to[0], at[1] - to[1], at[2] - to[2]);
  for (int j = 0; j < 3; ++j) to[j] = at[j];
  return true;
}

void CDirectPlayer::Bump(float dx, float dy, float dz) {
  if (!local_) return;
  const float lengthSq = dx * dx + dy * dy + dz * dz;
  if (lengthSq < 1e-6f) return;
  const float length = std::sqrt(lengthSq);
  const float u[3] = {dx / length, dy / length, dz / length};
  const float v = std::abs(Dot(u, state_.velocity));
  if (v > 5.0f && !dead_) {
    const float r = v / kTopSpeed;
    if (g_pNetDoc) g_pNetDoc->RaiseShake(static_cast<int>(r * r * 300.0f));
    PlayShipSound(kSoundThud, static_cast<int>((r - 1.0f) * 2000.0f));
  }
  const float bounce = longDeath_ ? 1.3f : 1.1f;
  for (int i = 0; i < 3; ++i) state_.velocity[i] += u[i] * v * bounce;
}

void CDirectPlayer::UpdateRemote() {
  if (!instance_) return;
  MatrixPush();
  MatrixLoad(state_.matrix);
  // Rotating about the heading through the ship's own position.
  const float x = GetX(), y = GetY(), z = GetZ();
  MatrixTranslate(-x, -y, -z);
  MatrixRotateAxis(state_.matrix[8], state_.matrix[9], state_.matrix[10], 2.0f * bank_);
  MatrixTranslate(x, y, z);
  Matrix shown;
  MatrixGet(shown);
  MatrixPop();
  InstanceSetMatrix(instance_, shown, instance_->animTime);
  instance_->collidable = (state_.flags & kPlayerStateShown) ? 1 : 0;
}

void CDirectPlayer::PublishState() {
  const uint32_t now = static_cast<uint32_t>(GetGameTime());
  const uint32_t interval = exploded_ ? 160u : 80u;
  if (now - state_.time < interval) return;
  state_.time = now;
  SendState();
}
