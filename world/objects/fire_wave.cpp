#include "world/objects/fire_wave.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/collision.h"
#include "engine/light.h"
#include "engine/surface.h"
#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CFireWave, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

// The Part's per-update amounts are taken at this many updates a second and
// scaled by each update's time.
constexpr float kReferenceUpdatesPerSecond = 30.0f;

float Length2D(float x, float z) { return std::sqrt(x * x + z * z); }

}  // namespace

Surface* MakeWaveSurface(World* world, const float p0[3], const float p1[3], const float p2[3], Texture* texture) {
  if (!world || !texture) {
    ReleaseTexture(texture);
    return nullptr;
  }
  float side[3], u[3], toP0[3];
  for (int i = 0; i < 3; ++i) {
    side[i] = p0[i] - p1[i];
    u[i] = p2[i] - p1[i];
    toP0[i] = p0[i] - p1[i];
  }
  const float texels = static_cast<float>(texture->height > 1 ? texture->height - 1 : 1);
  const float m = 256.0f * std::sqrt(side[0] * side[0] + side[1] * side[1] + side[2] * side[2]) / texels;
  // (P2 - P1) x ((P2 - P1) x (P0 - P1)): in the plane, across u, away from P0.
  const float w[3] = {u[1] * toP0[2] - u[2] * toP0[1], u[2] * toP0[0] - u[0] * toP0[2],
                      u[0] * toP0[1] - u[1] * toP0[0]};
  float v[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
  ScaleToLength(u, m);
  ScaleToLength(v, m);
  return SurfaceCreate(world, p1[0], p1[1], p1[2], u[0], u[1], u[2], v[0], v[1], v[2], 0, 0, texture);
}

CFireWave::CFireWave(DPID owner, uint32_t objectId, const float corners[8], float centreX, float height,
                     float centreZ, float speed)
    : CGenericObject(owner, objectId), centreX_(centreX), height_(height), centreZ_(centreZ), speed_(speed) {
  typeCode_ = kTypeFireWave;
  for (int i = 0; i < 4; ++i) {
    cornerX_[i] = corners[2 * i];
    cornerY_[i] = height;
    cornerZ_[i] = corners[2 * i + 1];
  }
  Start();
}

CFireWave::~CFireWave() { Stop(); }

BOOL CFireWave::Start() {
  if (active_) return TRUE;
  Build();
  active_ = true;
  return TRUE;
}

BOOL CFireWave::Stop() {
  if (polygon_) PolygonDelete(polygon_);
  if (light_) LightDelete(light_);
  polygon_ = nullptr;
  light_ = nullptr;
  active_ = false;
  return TRUE;
}

void CFireWave::Build() {
  World* world = EffectWorld();
  if (!world) return;
  const float innerX = cornerX_[3] - cornerX_[0], innerZ = cornerZ_[3] - cornerZ_[0];
  const float length = Length2D(innerX, innerZ);
  const float lightX = (cornerX_[1] + cornerX_[2]) * 0.5f, lightZ = (cornerZ_[1] + cornerZ_[2]) * 0.5f;
  light_ = LightCreate(world, lightX, height_, lightZ, 0.0f, 0.0f, 0.0f, std::clamp(length / 4.0f, 1.0f, 10.0f),
                       length / 2.0f, 2.0f * length, 0, 1);
  // The band faces the local ship: from below (+y is down) the order turns.
  int order[4] = {0, 1, 2, 3};
  Instance* ship = g_pNetDoc ? g_pNetDoc->GetPlayerShip() : nullptr;
  if (ship && ship->y >= height_) {
    order[0] = 3;
    order[1] = 2;
    order[2] = 1;
    order[3] = 0;
  }
  float xs[4], ys[4], zs[4];
  for (int i = 0; i < 4; ++i) {
    xs[i] = cornerX_[order[i]];
    ys[i] = cornerY_[order[i]];
    zs[i] = cornerZ_[order[i]];
  }
  const float p0[3] = {xs[0], ys[0], zs[0]}, p1[3] = {xs[1], ys[1], zs[1]}, p2[3] = {xs[2], ys[2], zs[2]};
  Surface* surface = MakeWaveSurface(world, p0, p1, p2, TextureAddRef(g_pNetDoc->GetFireWaveTexture()));
  const float light[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  polygon_ = PolygonCreate(world, 4, xs, ys, zs, light, surface);
  if (polygon_) {
    MakeEffectObject(polygon_);
    polygon_->flags |= 0x200;
  }
}

BOOL CFireWave::Update(uint32_t elapsedMs) {
  if (polygon_) PolygonDelete(polygon_);
  if (light_) LightDelete(light_);
  polygon_ = nullptr;
  light_ = nullptr;
  const float c = Length2D(cornerX_[0] - centreX_, cornerZ_[0] - centreZ_);
  if (!(c <= kFireWaveReach)) return FALSE;
  const float e = Length2D(cornerX_[1] - centreX_, cornerZ_[1] - centreZ_);
  const float t = static_cast<float>(elapsedMs) / 1000.0f;
  const float h = speed_;
  // The Part's (1 + 0.4 t) per update, as a rate: the same growth whatever
  // the updates' length.
  const float l = h * std::exp(0.4f * t);
  speed_ = l;
  const float inner = c + h * t;
  const float outer = e + l * t;
  const float fromX = (cornerX_[0] + cornerX_[3]) * 0.5f, fromZ = (cornerZ_[0] + cornerZ_[3]) * 0.5f;
  // A corner on the centre has no direction to move in; it stays.
  const float innerScale = c > 0.0001f ? inner / c : 1.0f;
  const float outerScale = e > 0.0001f ? outer / e : 1.0f;
  for (int i : {0, 3}) {
    cornerX_[i] = centreX_ + (cornerX_[i] - centreX_) * innerScale;
    cornerZ_[i] = centreZ_ + (cornerZ_[i] - centreZ_) * innerScale;
  }
  for (int i : {1, 2}) {
    cornerX_[i] = centreX_ + (cornerX_[i] - centreX_) * outerScale;
    cornerZ_[i] = centreZ_ + (cornerZ_[i] - centreZ_) * outerScale;
  }
  const float toX = (cornerX_[1] + cornerX_[2]) * 0.5f, toZ = (cornerZ_[1] + cornerZ_[2]) * 0.5f;
  World* world = EffectWorld();
  if (world && WorldSegmentBlocked(world, fromX, height_, fromZ, toX, height_, toZ)) return FALSE;

  const float j = Length2D(cornerX_[3] - cornerX_[0], cornerZ_[3] - cornerZ_[0]);
  if (g_pNetDoc) {
    const float r = static_cast<float>(CrtRand());
    const float midX = (cornerX_[0] + cornerX_[1] + cornerX_[2] + cornerX_[3]) * 0.25f;
    const float midZ = (cornerZ_[0] + cornerZ_[1] + cornerZ_[2] + cornerZ_[3]) * 0.25f;
    // The Part burns with 0.2 x the nuke's damage once per update: taken as
    // that much per thirtieth of a second.
    const float strength = 0.2f * g_pNetDoc->GetTuning().nukeDamage * t * kReferenceUpdatesPerSecond;
    g_pNetDoc->ApplyBlastDamage(midX, height_, midZ, (0.7f + r * 1.52593e-05f) * j, strength, owner_, false);
  }
  if (j > 10.0f + 0.2f * inner) {
    const float innerMidX = (cornerX_[0] + cornerX_[3]) * 0.5f - centreX_;
    const float innerMidZ = (cornerZ_[0] + cornerZ_[3]) * 0.5f - centreZ_;
    const float outerMidX = (cornerX_[1] + cornerX_[2]) * 0.5f - centreX_;
    const float outerMidZ = (cornerZ_[1] + cornerZ_[2]) * 0.5f - centreZ_;
    const float innerMid = std::max(Length2D(innerMidX, innerMidZ), 0.0001f);
    const float outerMid = std::max(Length2D(outerMidX, outerMidZ), 0.0001f);
    const float mInX = centreX_ + innerMidX * inner / innerMid, mInZ = centreZ_ + innerMidZ * inner / innerMid;
    const float mOutX = centreX_ + outerMidX * outer / outerMid, mOutZ = centreZ_ + outerMidZ * outer / outerMid;
    if (g_pNetDoc) {
      const float first[8] = {cornerX_[0], cornerZ_[0], cornerX_[1], cornerZ_[1], mOutX, mOutZ, mInX, mInZ};
      const float second[8] = {mInX, mInZ, mOutX, mOutZ, cornerX_[2], cornerZ_[2], cornerX_[3], cornerZ_[3]};
      g_pNetDoc->SpawnFireWave(owner_, first, centreX_, height_, centreZ_, l);
      g_pNetDoc->SpawnFireWave(owner_, second, centreX_, height_, centreZ_, l);
    }
    return FALSE;
  }
  Build();
  return TRUE;
}

void CFireWave::GetPosition(float& x, float& y, float& z) {
  x = cornerX_[0];
  y = cornerY_[0];
  z = cornerZ_[0];
}

void CFireWave::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    for (const float* v : {cornerX_, cornerY_, cornerZ_}) ar << v[0] << v[1] << v[2] << v[3];
    ar << centreX_ << height_ << centreZ_ << speed_;
    return;
  }
  for (float* v : {cornerX_, cornerY_, cornerZ_}) ar >> v[0] >> v[1] >> v[2] >> v[3];
  ar >> centreX_ >> height_ >> centreZ_ >> speed_;
  polygon_ = nullptr;
  light_ = nullptr;
  Start();
}
