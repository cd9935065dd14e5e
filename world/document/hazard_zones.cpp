// Hazard zones and surface hits: radioactive spheres around level groups
// hurt the ship inside them; shots leave holes on the walls they strike.
#include <algorithm>
#include <cmath>

#include "engine/matrix.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "world/objects/effect_services.h"
#include "world/document/level_group_effects.h"
#include "world/objects/weapon_math.h"

namespace {

constexpr int32_t kZoneStepLimitMs = 200;
// The ring's usable slots: the 64th hole of a level recycles the first.
constexpr int kHoleSlots = 63;
constexpr float kHoleSpotDistance = 1.05f;

bool IsLiquid(WorldPolygon* polygon) { return GetSurfaceType(polygon) != 0; }

}  // namespace

void CNetDoc::ApplyHazardZones() {
  if (!localPlayer_) return;
  float px, py, pz;
  localPlayer_->GetPosition(&px, &py, &pz);
  const int32_t now = GetGameTime();
  for (POSITION at = hazardZones_.GetHeadPosition(); at;) {
    HazardZone* zone = static_cast<HazardZone*>(hazardZones_.GetNext(at));
    int32_t dt = now - zone->lastTime;
    zone->lastTime = now;
    // A hidden zone keeps its clock moving, so it resumes without a burst.
    if (!zone->group || !GroupIsVisible(zone->group)) continue;
    dt = std::clamp(dt, 0, kZoneStepLimitMs);
    const float distance =
        std::sqrt((zone->x - px) * (zone->x - px) + (zone->y - py) * (zone->y - py) + (zone->z - pz) * (zone->z - pz));
    const float depth = zone->radius - distance;
    if (depth <= 0.0f) continue;
    localPlayer_->TakeHit((depth + 0.5f) * static_cast<float>(dt) * 0.001f);
    hazardFlash_ = 1;
  }
}

void CNetDoc::OnSurfaceHit(WorldPolygon* polygon, float hx, float hy, float hz, float fx, float fy, float fz,
                           float scale) {
  if (!polygon || polygon->vertexCount < 3 || !world_ || IsLiquid(polygon)) return;
  for (int i = 0; i < std::min(holeRingUsed_, kHoleSlots); ++i) {
    const BulletHole& slot = holeRing_[i];
    if (slot.hole && slot.struck == polygon && std::fabs(slot.x - hx) < kHoleSpotDistance &&
        std::fabs(slot.y - hy) < kHoleSpotDistance && std::fabs(slot.z - hz) < kHoleSpotDistance) {
      return;
    }
  }
  int index = 0;
  if (holeRingNext_ < holeRingUsed_) {
    index = holeRingNext_;
  } else if (holeRingUsed_ + 1 >= kHoleSlots + 1) {
    holeRingUsed_ = kHoleSlots;
    holeRingNext_ = 0;
    index = 0;
  } else {
    ++holeRingUsed_;
    index = holeRingNext_;
  }
  BulletHole& slot = holeRing_[index];
  if (slot.hole) PolygonDelete(slot.hole);
  slot = BulletHole{};
  holeRingNext_ = index + 1;

  const V3 n = {polygon->worldNormal.x, polygon->worldNormal.y, polygon->worldNormal.z};
  V3 q = V3{hx, hy, hz} + n * 0.01f;
  const V3 v = ScaledTo(V3{fx, fy, fz} - q, 1.0f);
  const V3 back = n * -1.0f;
  V3 t1, t2;
  Texture* texture = nullptr;
  if (std::fabs(Dot(v, n)) >= 0.4f) {
    const V3 reference = (std::fabs(n.x) < 0.01f && std::fabs(n.z) < 0.01f) ? V3{1, 0, 0} : V3{0, 1, 0};
    t1 = ScaledTo(Cross(back, reference), 1.0f);
    t2 = ScaledTo(Cross(back, t1), 1.0f);
    texture = bulletHoleTextures_[0];
  } else {
    // A grazing hit: twice as long along the shot's track.
    t1 = ScaledTo(Cross(back, v), 1.0f);
    t2 = ScaledTo(Cross(back, t1), 2.0f);
    texture = bulletHoleTextures_[1];
  }
  PolygonGroup* group = polygon->group;
  if (group) {
    if (!MatrixPush()) return;
    MatrixLoad(group->worldMatrix);
    MatrixInvert();
    MatrixTransformPoint(q.x, q.y, q.z, &q.x, &q.y, &q.z);
    MatrixPop();
  }
  const float s = 0.7f * scale;
  const V3 corners[4] = {q - t1 * s - t2 * s, q - t1 * s + t2 * s, q + t1 * s + t2 * s, q + t1 * s - t2 * s};
  float weightSum = 0.0f, shadeSum = 0.0f;
  for (int j = 0; j < std::min(polygon->vertexCount, 10); ++j) {
    const PolygonVertex& corner = polygon->vertices[j];
    const V3 d = q - V3{corner.x, corner.y, corner.z};
    const float length = std::sqrt(Dot(d, d));
    const float w = length <= 1e-20f ? 1e20f : 1.0f / length;
    weightSum += w;
    shadeSum += w * corner.light;
  }
  const float shade = weightSum > 0.0f ? shadeSum / weightSum : 1.0f;
  const float a[3] = {corners[2].x, corners[2].y, corners[2].z};
  const float b[3] = {corners[1].x, corners[1].y, corners[1].z};
  const float c[3] = {corners[0].x, corners[0].y, corners[0].z};
  Surface* surface = texture ? CreateSpriteQuad(world_, a, b, c, TextureAddRef(texture)) : nullptr;
  if (!surface) return;
  const float xs[4] = {corners[0].x, corners[1].x, corners[2].x, corners[3].x};
  const float ys[4] = {corners[0].y, corners[1].y, corners[2].y, corners[3].y};
  const float zs[4] = {corners[0].z, corners[1].z, corners[2].z, corners[3].z};
  const float light[4] = {shade, shade, shade, shade};
  WorldPolygon* hole = PolygonCreate(world_, 4, xs, ys, zs, light, surface);
  if (!hole) return;
  slot.hole = hole;
  slot.struck = polygon;
  slot.x = q.x;
  slot.y = q.y;
  slot.z = q.z;
  hole->flags |= 0x70;
  hole->flatColour = -1;
  if (group) PolygonSetGroup(hole, group, 1);
}
