// Damage and destruction of level objects: shots and blasts take hit points
// from destructible groups, which break up in explosions and rubble; liquids
// and force fields absorb shots.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "game/net_doc.h"
#include "game/ship_controls.h"
#include "media/sound_manager.h"
#include "world/script/event_manager.h"

namespace {

constexpr int kSoundRicochetWater = 31;  // "ricco2w"
constexpr int kSoundForceField = 46;     // "frcfield"
constexpr int kExplosionPictureRubble = 2;

const char* FirstOf(const char* a, const char* b) { return a ? a : b; }

const char* GroupFirst(PolygonGroup* group, const char* a, const char* b) {
  return FirstOf(GroupGetProperty(group, a), GroupGetProperty(group, b));
}

bool SameText(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    const char ca = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a + 32) : *a;
    const char cb = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b + 32) : *b;
    if (ca != cb) return false;
  }
  return *a == *b;
}

float Between(float low, float high) { return low + RandomFloat(high - low); }

}  // namespace

BOOL CNetDoc::IsDestructible(WorldPolygon* polygon) {
  if (!polygon) return FALSE;
  return PolygonGetProperty(polygon, "damaged") || PolygonGetProperty(polygon, "nuked") ||
                 PolygonGetProperty(polygon, "structural_hits")
             ? TRUE
             : FALSE;
}

bool CNetDoc::OnPolygonHit(WorldPolygon* polygon, float x, float y, float z, float damage) {
  if (!polygon) return false;
  if (polygon->group) DentObject(polygon->group, damage);
  if (const char* text = FirstOf(PolygonGetProperty(polygon, "damage_event"),
                                 PolygonGetProperty(polygon, "damageevent"))) {
    if (g_pEventManager) g_pEventManager->RaiseEvent(text, "from polygon");
  }
  const int surface = GetSurfaceType(polygon);
  const Vec3& n = polygon->worldNormal;
  if (surface != 0) {
    if (g_pSoundManager) g_pSoundManager->PlaySoundAt(ImpactSoundForSurface(surface, kSoundRicochetWater), x, y, z, 2);
    SpawnSparks(0, x, y, z, n.x, n.y, n.z, static_cast<uint32_t>(ColourForType(surface)));
    return true;
  }
  const char* kind = PolygonGetProperty(polygon, "surface");
  if (kind && SameText(kind, "forcefield")) {
    if (g_pSoundManager) g_pSoundManager->PlaySoundAt(kSoundForceField, x, y, z, 2);
    SpawnForceField(polygon, x, y, z, std::min(3.0f * std::sqrt(std::max(damage, 0.0f)), 30.0f));
    return true;
  }
  return false;
}

void CNetDoc::DentObject(PolygonGroup* group, float damage) {
  if (!group) return;
  if (damage > 0.1f) {
    if (const char* dented = GroupGetProperty(group, "dented")) {
      SetObjectActive(group, false);
      if (PolygonGroup* replacement = world_ ? GroupFindByName(world_, dented) : nullptr) {
        SetObjectActive(replacement, true);
      }
    }
  }
  void* value = nullptr;
  if (!group->name || !damageableGroups_.Lookup(group->name, value) || !value) return;
  DamageableGroup& record = *static_cast<DamageableGroup*>(value);
  // A lit fuse, or hit points already spent, take no further damage.
  if (record.countdown > 0 || record.hitPoints < 0.0f) return;
  record.hitPoints -= damage;
  // A hit that leaves the hit points just below 0 (within -0.001) would
  // light no fuse and end all further damage: the object counts as spent
  // to 0 and the next hit breaks it.
  if (record.hitPoints < 0.0f && record.hitPoints >= -0.001f) record.hitPoints = 0.0f;
  if (record.hitPoints < -0.001f) record.countdown = static_cast<int32_t>(300.0f + RandomFloat(300.0f));
}

BOOL CNetDoc::DestroyLevelObject(PolygonGroup* group) {
  if (!group || !GroupIsVisible(group)) return FALSE;
  BreakLevelObject(group);
  SetObjectActive(group, false);
  if (const char* name = GroupFirst(group, "damaged", "nuked")) {
    if (PolygonGroup* replacement = world_ ? GroupFindByName(world_, name) : nullptr) {
      SetObjectActive(replacement, true);
    }
  }
  const char* text = GroupFirst(group, "destroy_event", "destroyevent");
  if (!text || !g_pEventManager) return FALSE;
  return g_pEventManager->RaiseEvent(text, group->name ? group->name : "");
}

void CNetDoc::BreakLevelObject(PolygonGroup* group) {
  float low[3] = {1e12f, 1e12f, 1e12f}, high[3] = {-1e12f, -1e12f, -1e12f};
  for (WorldPolygon* p = GroupFirstPolygon(group); p; p = GroupNextPolygon(p)) {
    for (int i = 0; i < p->vertexCount; ++i) {
      const float v[3] = {p->vertices[i].x, p->vertices[i].y, p->vertices[i].z};
      for (int k = 0; k < 3; ++k) {
        low[k] = std::min(low[k], v[k]);
        high[k] = std::max(high[k], v[k]);
      }
    }
  }
  // An object without vertices has no size (and no bounds to scatter in).
  if (low[0] > high[0]) low[0] = high[0] = low[1] = high[1] = low[2] = high[2] = 0.0f;
  const float h = std::min((std::fabs(high[0] - low[0]) + std::fabs(high[1] - low[1])) / 4.0f, 500.0f);
  float cx, cy, cz;
  GroupGetCentre(group, &cx, &cy, &cz);
  float damage = 0.0f;
  if (const char* explosive = GroupGetProperty(group, "explosive")) {
    damage = static_cast<float>(std::atof(explosive));
  } else {
    ApplyBlastDamage(cx, cy, cz, 1.2f * h, 5.0f + 0.5f * h, 0, true);
  }
  if (h < 15.0f) {
    SpawnExplosion(0, cx, cy, cz, h, damage, true, false, kExplosionPictureRubble, static_cast<uint32_t>(-1));
  } else {
    SpawnExplosion(0, cx, cy, cz, 15.0f, damage, true, false, kExplosionPictureRubble, static_cast<uint32_t>(-1));
    const int n = static_cast<int>((h * 0.13333334f + 1.0f) * 3.0f);
    for (int i = 0; i < n; ++i) {
      SpawnExplosion(0, Between(low[0], high[0]), Between(low[1], high[1]), Between(low[2], high[2]),
                     5.0f + RandomFloat(10.0f), damage, false, true, kExplosionPictureRubble,
                     static_cast<uint32_t>(i * 500 / n));
    }
  }
  int pieces = h < 20.0f ? static_cast<int>((h + 5.0f) * 0.4f) : static_cast<int>(2.0f * std::sqrt(h));
  pieces = std::clamp(pieces, 2, 40);
  for (int i = 0; i < pieces; ++i) SpawnRandomDebris(0, cx, cy, cz);
  if (GroupGetProperty(group, "nuked")) SpawnBigExplosion(0, cx, cy, cz);
}
