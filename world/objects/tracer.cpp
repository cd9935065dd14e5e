#include "world/objects/tracer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/collision.h"
#include "engine/palette.h"
#include "engine/particle.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/collision_settings.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CTracer, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr float kStepSeconds = 0.03f;

float ColourLength(float r, float g, float b) { return std::sqrt(r * r + g * g + b * b); }

// Scales a colour from length m to m' (m' / m), truncating; a black colour
// (m = 0) stays black instead of dividing by zero.
void ScaleColour(int& r, int& g, int& b, float m, float scaled) {
  if (m <= 0.0f) {
    r = g = b = 0;
    return;
  }
  const float k = scaled / m;
  r = static_cast<int>(static_cast<float>(r) * k);
  g = static_cast<int>(static_cast<float>(g) * k);
  b = static_cast<int>(static_cast<float>(b) * k);
}

}  // namespace

CTracer::CTracer(DPID owner, uint32_t objectId, float x, float y, float z, float vx, float vy, float vz,
                 uint32_t colour, float size, bool bounces)
    : CGenericObject(owner, objectId), position_{x, y, z}, velocity_{vx, vy, vz}, bounces_(bounces) {
  typeCode_ = kTypeTracer;
  red_ = static_cast<int>(colour & 0xFF);
  green_ = static_cast<int>((colour >> 8) & 0xFF);
  blue_ = static_cast<int>((colour >> 16) & 0xFF);
  threshold_ = 0.3f * ColourLength(static_cast<float>(red_), static_cast<float>(green_), static_cast<float>(blue_));
  float v = (0.9f + static_cast<float>(CrtRand()) * 9.15555e-06f) * size;
  if (v < 1.0f) v = 1.0f;
  fadeRate_ = 6000.0f / v;
  particleSize_ = 0.1f * std::sqrt(v);
  const int r = CrtRand();
  life_ = EffectDebrisOn() ? 1500 + (r * 500) / 32767 : 300 + (r * 100) / 32767;
  Start();
}

CTracer::~CTracer() { Stop(); }

BOOL CTracer::Start() {
  if (active_) return TRUE;
  AddSegment();
  active_ = true;
  return TRUE;
}

BOOL CTracer::Stop() {
  for (Segment& segment : trail_) ParticleDelete(segment.particle);
  trail_.clear();
  active_ = false;
  return TRUE;
}

void CTracer::AddSegment() {
  Particle* particle = ParticleCreate(EffectWorld(), position_[0], position_[1], position_[2], particleSize_,
                                      FindPaletteColour(red_, green_, blue_));
  if (particle) trail_.push_back({particle, red_, green_, blue_});
}

BOOL CTracer::Update(uint32_t elapsedMs) {
  life_ -= static_cast<int32_t>(std::min<uint32_t>(elapsedMs, 0x7FFFFFFF));
  if (life_ < 0) dying_ = true;
  const float t = static_cast<float>(elapsedMs) / 1000.0f;
  float fade = t;
  if (!dying_) {
    stepRemainder_ += t;
    const float wanted = stepRemainder_ * 33.333f;
    const int steps = wanted > 0.0f && wanted < 100000.0f ? static_cast<int>(wanted) : 0;
    stepRemainder_ -= kStepSeconds * static_cast<float>(steps);
    fade = kStepSeconds * static_cast<float>(steps);
    World* world = EffectWorld();
    const bool collide = EffectDebrisOn() && world;
    for (int step = 0; step < steps && !dying_; ++step) {
      velocity_[1] += 3.6f;
      const float from[3] = {position_[0], position_[1], position_[2]};
      for (int i = 0; i < 3; ++i) position_[i] = from[i] + kStepSeconds * velocity_[i];
      if (collide) {
        CollisionSettingsScope settings;
        CollideSetInstanceChecks(0);
        if (CollideSegment(world, from[0], from[1], from[2], &position_[0], &position_[1], &position_[2])) {
          WorldPolygon* polygon = CollideLastHit();
          const float* v = velocity_;
          const float speedSquared = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
          if (!bounces_ || !polygon || GetSurfaceType(polygon) != 0 || speedSquared < 100.0f) {
            dying_ = true;
            break;
          }
          const Vec3 n = polygon->worldNormal;
          const float along = n.x * v[0] + n.y * v[1] + n.z * v[2];
          const float c = along / std::sqrt(speedSquared);
          const float axis[3] = {n.y * v[2] - n.z * v[1], n.z * v[0] - n.x * v[2], n.x * v[1] - n.y * v[0]};
          if (c > -0.001f || axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2] < 0.01f) {
            dying_ = true;
            break;
          }
          // 0.6 of its mirror image in the polygon's plane.
          velocity_[0] = 0.6f * (v[0] - 2.0f * along * n.x);
          velocity_[1] = 0.6f * (v[1] - 2.0f * along * n.y);
          velocity_[2] = 0.6f * (v[2] - 2.0f * along * n.z);
          for (int i = 0; i < 3; ++i) position_[i] += 0.0001f * velocity_[i];
        }
      }
      const float d[3] = {position_[0] - from[0], position_[1] - from[1], position_[2] - from[2]};
      trailLength_ += std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      if (trailLength_ > 1.0f) {
        trailLength_ = 0.0f;
        AddSegment();
      }
      const float m = ColourLength(static_cast<float>(red_), static_cast<float>(green_), static_cast<float>(blue_));
      const float dimmed = m - 0.9f;
      if (dimmed < threshold_ || m <= 0.0f) {
        red_ = green_ = blue_ = 0;
        dying_ = true;
        break;
      }
      ScaleColour(red_, green_, blue_, m, dimmed);
    }
  }
  std::vector<Segment> kept;
  kept.reserve(trail_.size());
  for (Segment& segment : trail_) {
    const float m = ColourLength(static_cast<float>(segment.red), static_cast<float>(segment.green),
                                 static_cast<float>(segment.blue));
    const float faded = m - fade * fadeRate_;
    // A black spark has threshold 0: its particle goes at once.
    if (faded < threshold_ || m <= 0.0f) {
      ParticleDelete(segment.particle);
      continue;
    }
    ScaleColour(segment.red, segment.green, segment.blue, m, faded);
    segment.particle->colour = FindPaletteColour(segment.red, segment.green, segment.blue);
    kept.push_back(segment);
  }
  trail_.swap(kept);
  return trail_.empty() ? FALSE : TRUE;
}

void CTracer::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CTracer::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << position_[0] << position_[1] << position_[2] << velocity_[0] << velocity_[1] << velocity_[2]
       << particleSize_ << fadeRate_ << red_ << green_ << blue_ << stepRemainder_ << trailLength_ << threshold_;
    ArchiveStoreBool(ar, dying_);
    ar << life_;
    ArchiveStoreBool(ar, bounces_);
    return;
  }
  ar >> position_[0] >> position_[1] >> position_[2] >> velocity_[0] >> velocity_[1] >> velocity_[2] >>
      particleSize_ >> fadeRate_ >> red_ >> green_ >> blue_ >> stepRemainder_ >> trailLength_ >> threshold_;
  ArchiveLoadBool(ar, dying_);
  ar >> life_;
  ArchiveLoadBool(ar, bounces_);
  // Colours come from a file: kept to what a palette lookup takes.
  red_ = std::clamp(red_, 0, 255);
  green_ = std::clamp(green_, 0, 255);
  blue_ = std::clamp(blue_, 0, 255);
  Start();
}
