#include "world/objects/fire_sphere.h"

#include <cmath>
#include <initializer_list>

#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "game/net_doc.h"
#include "platform/debug_output.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/weapon_math.h"

IMPLEMENT_SERIAL_CLASS(CFireSphere, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr float kPi = 3.1415927f;
constexpr int kRingPoints[4] = {0, 3, 6, 12};

// A growth time of 0 or less would divide by zero or shrink the ball for
// ever: it becomes 1 ms, and a debug line says so.
int32_t SaneDuration(int32_t durationMs) {
  if (durationMs > 0) return durationMs;
  OutputDebugString("korvane: a fire sphere's duration of 0 or less is taken as 1 ms\n");
  return 1;
}

}  // namespace

float VectorCosine(float ax, float ay, float az, float bx, float by, float bz) {
  const float q = (ax * ax + ay * ay + az * az) * (bx * bx + by * by + bz * bz);
  if (!(q >= 1e-6f)) return 0.0f;
  return (ax * bx + ay * by + az * bz) / std::sqrt(q);
}

CFireSphere::CFireSphere(DPID owner, uint32_t objectId, float x, float y, float z, float finalRadius,
                         int32_t durationMs)
    : CGenericObject(owner, objectId), position_{x, y, z}, finalRadius_(finalRadius),
      duration_(SaneDuration(durationMs)) {
  typeCode_ = kTypeFireSphere;
  Start();
}

CFireSphere::~CFireSphere() { Stop(); }

BOOL CFireSphere::Start() {
  if (active_) return TRUE;
  BuildSphere();
  active_ = true;
  return TRUE;
}

BOOL CFireSphere::Stop() {
  if (!active_) return TRUE;
  DeletePolygons();
  active_ = false;
  return TRUE;
}

void CFireSphere::DeletePolygons() {
  for (WorldPolygon* polygon : polygons_) PolygonDelete(polygon);
  polygons_.clear();
}

BOOL CFireSphere::Update(uint32_t elapsedMs) {
  DeletePolygons();
  radius_ += static_cast<float>(elapsedMs) * finalRadius_ / static_cast<float>(duration_);
  if (!(radius_ <= finalRadius_)) {
    if (g_pNetDoc) {
      g_pNetDoc->ApplyBlastDamage(position_[0], position_[1], position_[2], 0.98f * finalRadius_, 1000.0f, owner_,
                                  false);
    }
    return FALSE;
  }
  BuildSphere();
  return TRUE;
}

void CFireSphere::BuildSphere() {
  World* world = EffectWorld();
  Texture* texture = g_pNetDoc ? g_pNetDoc->GetFireWaveTexture() : nullptr;
  if (!world || !texture) return;
  float w = (finalRadius_ - radius_) / finalRadius_ + 0.2f;
  if (!(w >= 0.1f)) w = 0.1f;
  if (w > 1.0f) w = 1.0f;
  V3 viewer = {0, 0, 0};
  g_pNetDoc->GetViewerPosition(&viewer.x, &viewer.y, &viewer.z);
  const V3 c = Load3(position_);
  const float r = radius_;
  // Point j of ring k (1..3) on the -y side (lower) or the +y side.
  auto point = [&](int k, int j, bool upper) {
    const int n = kRingPoints[k];
    j = ((j % n) + n) % n;
    const float p = static_cast<float>(k) * kPi / 7.0f;
    const float q = 2.0f * kPi * static_cast<float>(j) / static_cast<float>(n);
    const float along = r * std::cos(p);
    return V3{c.x + r * std::sin(p) * std::cos(q), upper ? c.y + along : c.y - along,
              c.z + r * std::sin(p) * std::sin(q)};
  };
  auto make = [&](std::initializer_list<V3> corners) {
    const V3* f = corners.begin();
    const V3 toViewer = viewer - f[0], outward = f[0] - c;
    if (!(VectorCosine(toViewer.x, toViewer.y, toViewer.z, outward.x, outward.y, outward.z) > -0.3f)) return;
    const float a[3] = {f[0].x, f[0].y, f[0].z}, b[3] = {f[1].x, f[1].y, f[1].z}, d[3] = {f[2].x, f[2].y, f[2].z};
    Surface* surface = CreateSpriteQuad(world, a, b, d, TextureAddRef(texture));
    if (!surface) return;
    const int n = static_cast<int>(corners.size());
    float xs[4], ys[4], zs[4], light[4];
    for (int i = 0; i < n; ++i) xs[i] = f[i].x, ys[i] = f[i].y, zs[i] = f[i].z, light[i] = w;
    WorldPolygon* polygon = PolygonCreate(world, n, xs, ys, zs, light, surface);
    if (!polygon) return;
    polygon->flags |= 0x70;
    polygons_.push_back(polygon);
  };
  auto L = [&](int k, int j) { return point(k, j, false); };
  auto U = [&](int k, int j) { return point(k, j, true); };
  make({L(1, 0), L(1, 1), L(1, 2)});
  make({U(1, 2), U(1, 1), U(1, 0)});
  for (int k = 1; k <= 2; ++k) {
    for (int j = 0; j < kRingPoints[k]; ++j) {
      const int j1 = j + 1, m = 2 * j, m1 = 2 * j + 1, m2 = 2 * j + 2;
      make({L(k, j), L(k + 1, m), L(k + 1, m1)});
      make({U(k + 1, m), U(k, j), U(k + 1, m1)});
      make({L(k, j), L(k + 1, m1), L(k, j1)});
      make({U(k + 1, m1), U(k, j), U(k, j1)});
      make({L(k, j1), L(k + 1, m1), L(k + 1, m2)});
      make({U(k + 1, m1), U(k, j1), U(k + 1, m2)});
    }
  }
  for (int j = 0; j < 12; ++j) make({L(3, j), U(3, j), U(3, j + 1), L(3, j + 1)});
}

void CFireSphere::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CFireSphere::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << position_[0] << position_[1] << position_[2] << radius_ << finalRadius_ << duration_;
    return;
  }
  ar >> position_[0] >> position_[1] >> position_[2] >> radius_ >> finalRadius_ >> duration_;
  duration_ = SaneDuration(duration_);
  polygons_.clear();
  Start();
}
