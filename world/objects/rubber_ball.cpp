#include "world/objects/rubber_ball.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/collision.h"
#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "media/sound_manager.h"
#include "platform/crt_random.h"
#include "platform/framework/serial_archive.h"
#include "world/document/flat_polygons.h"
#include "world/objects/collision_settings.h"
#include "world/objects/effect_services.h"
#include "world/objects/frame_cycle.h"
#include "world/objects/missile.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/projectile_hits.h"
#include "world/objects/weapon_math.h"

IMPLEMENT_SERIAL_CLASS(CRubberBall, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr int kSoundLaserRicochet = 8;  // "laserric"
constexpr float kPi = 3.1415927f;
constexpr float kTrailSide = 1.2f;
constexpr float kSpiralOffset = 1.4f;

Texture* TrailTexture(int k) { return g_pNetDoc ? g_pNetDoc->GetEnergyPulseFrame(k) : nullptr; }

// The velocity mirrored in the surface of normal n, or false when the ball
// can't bounce off it: too slow, not moving into the surface, or meeting it
// (nearly) along the normal, where the turn has no axis.
bool Bounce(V3 n, V3& v) {
  const float nn = LengthSquared(n);
  if (!(nn > 0.0f)) return false;
  n = n * (1.0f / std::sqrt(nn));
  const float vv = LengthSquared(v);
  if (vv < 0.01f) return false;
  const float c = Dot(n, v) / std::sqrt(vv);
  if (c > -0.001f) return false;
  if (LengthSquared(Cross(n, v)) < 0.01f) return false;
  v = v - n * (2.0f * Dot(n, v));
  return true;
}

}  // namespace

CRubberBall::CRubberBall(DPID owner, uint32_t objectId, Instance* ignored, float x, float y, float z, float vx,
                         float vy, float vz, float damage)
    : CGenericObject(owner, objectId), position_{x, y, z}, velocity_{vx, vy, vz}, ignored_(ignored), damage_(damage) {
  typeCode_ = kTypeRubberBall;
  spiralAngle_ = static_cast<float>(CrtRand()) * kPi / 32767.0f;
  framePrefix_ = "!mpulse";
  if (g_pNetDoc) g_pNetDoc->LoadFrameSequence(framePrefix_, frames_, &frameCount_);
  Start();
}

CRubberBall::~CRubberBall() { Stop(); }

BOOL CRubberBall::Start() {
  if (active_) return TRUE;
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CRubberBall::Stop() {
  if (!active_) return TRUE;
  if (square_) PolygonDelete(square_);
  square_ = nullptr;
  for (WorldPolygon*& square : trail_) {
    if (square) PolygonDelete(square);
    square = nullptr;
  }
  active_ = false;
  return TRUE;
}

void CRubberBall::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CRubberBall::WriteCreateMessage(uint8_t out[kRubberBallMessageBytes]) const {
  WriteShotCreateMessage(out, position_, velocity_, damage_);
}

void CRubberBall::SendCreate(DPID to) {
  if (!active_) return;
  uint8_t message[kRubberBallMessageBytes];
  WriteCreateMessage(message);
  SendEffectMessage(to, message, kRubberBallMessageBytes);
}

BOOL CRubberBall::Update(uint32_t elapsedMs) {
  if (square_) PolygonDelete(square_);
  square_ = nullptr;
  if (finished_) return FALSE;
  World* world = EffectWorld();
  if (!world || !g_pNetDoc) return FALSE;
  CNetDoc& doc = *g_pNetDoc;
  const float t = static_cast<float>(elapsedMs) / 1000.0f;
  const V3 o = Load3(position_);
  V3 p = o + Load3(velocity_) * t;

  if (ignored_ && !WorldHasInstance(world, ignored_)) ignored_ = nullptr;
  if (passing_ && !WorldHasInstance(world, passing_)) passing_ = nullptr;
  V3 h = p;
  WorldPolygon* polygon = nullptr;
  Instance* instance = nullptr;
  int result = kRayNothing;
  {
    CollisionSettingsScope settings;
    // The shooter's ship is passed by only until the first bounce: a ball
    // can come back onto its shooter.
    CollideSetIgnore(bounces_ == 0 ? ignored_ : nullptr);
    result = CollideRay(world, &h.x, &h.y, &h.z, &polygon, &instance, o.x, o.y, o.z, p.x, p.y, p.z);
    CollideSetIgnore(nullptr);
  }
  Instance* met = nullptr;
  if (result == kRayInstance && instance) {
    // The ball flies on through; what it is still inside since the last
    // update was hurt when the ball went in.
    met = instance;
    if (instance != passing_) {
      RaiseInstanceDamageEvent(instance);
      if (instance != doc.GetPlayerShip()) {
        const V3 back = o - h;
        doc.SpawnSparks(owner_, h.x, h.y, h.z, back.x, back.y, back.z, kRubberBallSparks);
      }
      DamageInstanceFrom(instance, damage_, owner_, ignored_);
    }
  } else if (result == kRayPolygon && polygon) {
    if (!doc.OnPolygonHit(polygon, h.x, h.y, h.z, damage_)) {
      PlayEffectSound(kSoundLaserRicochet, h.x, h.y, h.z, kSoundRandomPitch);
      if (doc.IsDestructible(polygon)) {
        const Vec3& n = polygon->worldNormal;
        doc.SpawnSparks(owner_, h.x, h.y, h.z, n.x, n.y, n.z, kRubberBallSparks);
      }
      doc.OnSurfaceHit(polygon, h.x, h.y, h.z, o.x, o.y, o.z, 1.2f);
    }
    damage_ *= 0.92f;
    p = h;
    ++bounces_;
    const int kind = GetSurfaceType(polygon);
    if (bounces_ >= kRubberBallMaxBounces) {
      finished_ = true;
    } else if (kind != 0) {
      PlayEffectSound(ImpactSoundForSurface(kind, kSoundRicochetWater), h.x, h.y, h.z, kSoundRandomPitch);
      doc.SpawnTracerSpray(owner_, h.x, h.y, h.z, 20, static_cast<uint32_t>(ColourForType(kind)));
      finished_ = true;
    } else {
      const Vec3& wn = polygon->worldNormal;
      V3 v = Load3(velocity_);
      if (Bounce({wn.x, wn.y, wn.z}, v)) {
        Store3(velocity_, v);
        p = p + v * 0.0001f;
      } else {
        finished_ = true;
      }
    }
  }
  passing_ = met;
  Store3(position_, p);

  const V3 step = p - o;
  const float length = Length(step);
  distance_ += length;
  if (distance_ > kRubberBallRange) return FALSE;

  framePosition_ += frameRate_ * t;
  const int k = CycleFrame(framePosition_, frameCount_);
  float viewer[3] = {0, 0, 0};
  doc.GetViewerPosition(&viewer[0], &viewer[1], &viewer[2]);
  square_ = CreateSquareMarkPolygon(p.x, p.y, p.z, p.x - viewer[0], p.y - viewer[1], p.z - viewer[2], size_,
                                    k < frameCount_ ? frames_[k] : nullptr);

  const float squares = length * 0.6666667f;
  const int m = squares >= static_cast<float>(kRubberBallTrail) ? kRubberBallTrail
                : squares >= 1.0f                                ? static_cast<int>(squares)
                                                                 : 1;
  ShiftTrail(m);
  const float s[3] = {step.x, step.y, step.z};
  LayTrail(s, length, m, viewer);
  return TRUE;
}

// The trail ages by m slots: the oldest m squares go, the others move m
// slots toward the old end and take the texture of their new slot.
void CRubberBall::ShiftTrail(int m) {
  for (int j = kRubberBallTrail - m; j < kRubberBallTrail; ++j) {
    if (trail_[j]) PolygonDelete(trail_[j]);
    trail_[j] = nullptr;
  }
  for (int j = kRubberBallTrail - 1 - m; j >= 0; --j) {
    WorldPolygon* square = trail_[j];
    trail_[j] = nullptr;
    trail_[j + m] = square;
    if (square && square->surface) {
      Texture* texture = TrailTexture(j + m);
      if (texture) {
        ReleaseTexture(square->surface->texture);
        square->surface->texture = TextureAddRef(texture);
      }
    }
  }
}

// m new squares between the new position and the old one, 1.4 units off the
// path and 60 degrees apart round it.
void CRubberBall::LayTrail(const float step[3], float length, int m, const float viewer[3]) {
  const V3 s = Load3(step);
  V3 p = {-s.z, 0.0f, s.x};
  if (std::fabs(s.x) + std::fabs(s.z) < 0.01f) p.y = 1.0f;
  p = ScaledTo(p, kSpiralOffset);
  const V3 q = ScaledTo(Cross(s, p), kSpiralOffset);
  const float count = static_cast<float>(m);
  const V3 e = LengthSquared(s) < 1e-6f ? s * (-1000.0f * length / count) : s * (-1.0f / count);
  spiralAngle_ -= (count + 1.0f) * kPi / 3.0f;
  const V3 at = Load3(position_);
  for (int k = 0; k < m; ++k) {
    const V3 c = at + e * static_cast<float>(k + 1);
    const float b = spiralAngle_ + static_cast<float>(k) * kPi / 3.0f;
    const V3 corner = c + p * std::cos(b) + q * std::sin(b);
    WorldPolygon* square = CreateSquareMarkPolygon(corner.x, corner.y, corner.z, c.x - viewer[0], c.y - viewer[1],
                                                   c.z - viewer[2], kTrailSide, TrailTexture(k));
    if (square) square->flags |= 0x200;
    trail_[k] = square;
  }
}

void CRubberBall::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << position_[0] << position_[1] << position_[2] << velocity_[0] << velocity_[1] << velocity_[2];
    ar << distance_;
    ArchiveStoreBool(ar, finished_);
    ar << frameRate_ << framePosition_ << size_ << framePrefix_ << damage_ << bounces_;
    return;
  }
  for (WorldPolygon*& square : trail_) square = nullptr;
  spiralAngle_ = 0.0f;
  ar >> position_[0] >> position_[1] >> position_[2] >> velocity_[0] >> velocity_[1] >> velocity_[2];
  ar >> distance_;
  ArchiveLoadBool(ar, finished_);
  ar >> frameRate_ >> framePosition_ >> size_ >> framePrefix_ >> damage_ >> bounces_;
  frameCount_ = 0;
  for (Texture*& frame : frames_) frame = nullptr;
  if (g_pNetDoc) g_pNetDoc->FindFrameSequence(framePrefix_, frames_, &frameCount_);
  ignored_ = nullptr;
  passing_ = nullptr;
  square_ = nullptr;
  Start();
}
