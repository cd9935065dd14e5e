#include "world/objects/bullet.h"

#include "world/enemies/enemy_manager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/collision.h"
#include "engine/light.h"
#include "engine/properties.h"
#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "game/net_wire.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "media/sound_manager.h"
#include "platform/framework/serial_archive.h"
#include "world/enemies/enemy_manager.h"
#include "world/objects/effect_services.h"
#include "world/objects/collision_settings.h"
#include "world/objects/missile.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/weapon_math.h"
#include "world/script/event_manager.h"

IMPLEMENT_SERIAL_CLASS(CBullet, CGenericObject, VERSIONABLE_SCHEMA | 1)

int CBullet::slugCounter = 0;

namespace {

constexpr int kSoundLaserRicochet = 11;  // "mgrric"
constexpr int kSoundSlugRicochet = 35;   // "fltchric"
constexpr uint32_t kSparkGreen = 0xFF00;
constexpr float kStreakHalfWidth = 0.15f;

World* DocWorld() { return g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr; }

}  // namespace

CBullet::CBullet(DPID owner, uint32_t objectId, Instance* ignored, float x, float y, float z, float vx, float vy,
                 float vz, float damage, bool secondTexture, bool slug)
    : CGenericObject(owner, objectId) {
  typeCode_ = kTypeBullet;
  ignored_ = ignored;
  position_[0] = x, position_[1] = y, position_[2] = z;
  velocity_[0] = vx, velocity_[1] = vy, velocity_[2] = vz;
  damage_ = damage;
  initialDamage_ = damage < 0.01f ? 0.01f : damage;
  secondTexture_ = secondTexture;
  slug_ = slug;
  Start();
}

CBullet::~CBullet() { Stop(); }

BOOL CBullet::Start() {
  if (active_) return TRUE;
  World* world = DocWorld();
  if (slug_) {
    if (++slugCounter > 6) {
      light_ = LightCreate(world, position_[0], position_[1], position_[2], 1.0f, 0.717647f, 0.0666667f, 0.0f,
                           lightSize_, 4.0f * lightSize_, 0, 0);
      slugCounter = 0;
    }
  } else {
    light_ = LightCreate(world, position_[0], position_[1], position_[2], 1.0f, secondTexture_ ? 1.0f : 0.0f, 0.0f,
                         0.0f, lightSize_, 4.0f * lightSize_, 0, 0);
  }
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CBullet::Stop() {
  if (!active_) return TRUE;
  if (streak_) PolygonDelete(streak_);
  streak_ = nullptr;
  if (light_) LightDelete(light_);
  light_ = nullptr;
  active_ = false;
  return TRUE;
}

void CBullet::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CBullet::WriteCreateMessage(uint8_t out[kBulletCreateBytes]) const {
  WriteShotCreateMessage(out, position_, velocity_, damage_);
  out[48] = secondTexture_ ? 1 : 0;
}

void CBullet::SendCreate(DPID to) {
  if (!active_ || slug_ || !IsNetworkGame()) return;
  uint8_t message[kBulletCreateBytes];
  WriteCreateMessage(message);
  g_Net.Send(to, message, kBulletCreateBytes, true);
}

BOOL CBullet::Update(uint32_t elapsedMs) {
  if (streak_) PolygonDelete(streak_);
  streak_ = nullptr;
  if (finished_) return FALSE;
  World* world = DocWorld();
  if (!world || !g_pNetDoc) return FALSE;
  CNetDoc& doc = *g_pNetDoc;
  const float t = static_cast<float>(elapsedMs) / 1000.0f;
  const V3 o = Load3(position_);
  V3 p = o + Load3(velocity_) * t;
  if (light_) LightSet(light_, p.x, p.y, p.z, 0.0f, lightSize_, 4.0f * lightSize_, 0);

  // The shooter's ship may have gone since the shot; a freed instance is
  // never handed to the engine.
  if (ignored_ && !WorldHasInstance(world, ignored_)) ignored_ = nullptr;
  V3 hit = p;
  WorldPolygon* polygon = nullptr;
  Instance* instance = nullptr;
  int result = kRayNothing;
  {
    CollisionSettingsScope settings;
    CollideSetIgnore(ignored_);
    result = CollideRay(world, &hit.x, &hit.y, &hit.z, &polygon, &instance, o.x, o.y, o.z, p.x, p.y, p.z);
    CollideSetIgnore(nullptr);
  }
  if (result == kRayInstance && instance) {
    const char* text = InstanceGetProperty(instance, "damage_event");
    if (!text) text = InstanceGetProperty(instance, "damageevent");
    if (text && g_pEventManager) g_pEventManager->RaiseEvent(text, "from_object");
    doc.SpawnLaserMark(0, hit.x, hit.y, hit.z);
    const bool ownShip = instance == doc.GetPlayerShip();
    if (!slug_ && !ownShip) {
      const V3 back = o - hit;
      doc.SpawnSparks(owner_, hit.x, hit.y, hit.z, back.x, back.y, back.z, kSparkGreen);
    }
    // An enemy takes the damage; otherwise each program hurts only its own
    // player.
    if (g_pEnemyManager && g_pEnemyManager->DamageByInstance(instance, damage_, ignored_)) {
    } else if (ownShip && doc.GetLocalPlayer()) {
      doc.GetLocalPlayer()->TakeDamageFrom(damage_, doc.FindPlayer(owner_));
    }
    p = hit;
    finished_ = true;
  } else if (result == kRayPolygon && polygon) {
    if (!doc.OnPolygonHit(polygon, hit.x, hit.y, hit.z, damage_)) {
      if (g_pSoundManager) {
        g_pSoundManager->PlaySoundAt(slug_ ? kSoundSlugRicochet : kSoundLaserRicochet, hit.x, hit.y, hit.z, 2);
      }
      if (doc.IsDestructible(polygon)) {
        doc.SpawnStaticSmoke(0, hit.x, hit.y, hit.z, -1.0f);
        if (!slug_) {
          const Vec3& n = polygon->worldNormal;
          doc.SpawnSparks(owner_, hit.x, hit.y, hit.z, n.x, n.y, n.z, kSparkGreen);
        }
      } else {
        doc.SpawnLaserMark(0, hit.x, hit.y, hit.z);
      }
      doc.OnSurfaceHit(polygon, hit.x, hit.y, hit.z, o.x, o.y, o.z, slug_ ? 0.4f : 0.9f);
    }
    p = hit;
    finished_ = true;
  }
  Store3(position_, p);
  if (slug_) {
    const int level = std::clamp(static_cast<int>(damage_ * 255.0f / initialDamage_), 0, 255);
    const uint32_t colour = static_cast<uint32_t>(level) * 256 + 255;
    const float s = (0.5f + 6.0f * (initialDamage_ - damage_) / initialDamage_) * 0.12f;
    for (int i = 0; i < 3; ++i) {
      const float f = 0.3f + static_cast<float>(CrtRand()) * 1.8311106e-05f;
      const float size = -(0.8f + static_cast<float>(CrtRand()) * 6.103702e-06f) * s;
      const V3 at = o + (p - o) * f;
      doc.SpawnDust(0, at.x, at.y, at.z, colour, size);
    }
  }
  distance_ += Length(p - o);
  if (distance_ > kBulletRange) return FALSE;
  if (slug_) {
    damage_ -= initialDamage_ * t * 1.2f;
    if (damage_ < 0.001f) finished_ = true;
    return TRUE;
  }
  V3 viewer = {0, 0, 0};
  doc.GetViewerPosition(&viewer.x, &viewer.y, &viewer.z);
  const V3 nearer = LengthSquared(p - viewer) < LengthSquared(o - viewer) ? p : o;
  const V3 c = Cross(viewer - nearer, p - o);
  const float q = LengthSquared(c);
  const V3 w = c * (q > 1e-6f ? kStreakHalfWidth / std::sqrt(q) : 1000.0f);
  const V3 corners[4] = {o + w, o - w, p - w, p + w};
  float xs[4], ys[4], zs[4];
  const float light[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  for (int i = 0; i < 4; ++i) xs[i] = corners[i].x, ys[i] = corners[i].y, zs[i] = corners[i].z;
  Texture* texture = doc.GetLaserTexture(secondTexture_);
  const V3 ca = p - w, cb = p + w, cc = o + w;
  const float fa[3] = {ca.x, ca.y, ca.z}, fb[3] = {cb.x, cb.y, cb.z}, fc[3] = {cc.x, cc.y, cc.z};
  Surface* surface = texture ? CreateSpriteQuadRandom(world, fa, fb, fc, TextureAddRef(texture)) : nullptr;
  streak_ = surface ? PolygonCreate(world, 4, xs, ys, zs, light, surface) : nullptr;
  if (!streak_) return FALSE;
  MakeEffectObject(streak_);
  streak_->flags |= 0x200;
  return TRUE;
}

void CBullet::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << position_[0] << position_[1] << position_[2] << velocity_[0] << velocity_[1] << velocity_[2];
    ar << distance_ << static_cast<uint8_t>(finished_) << static_cast<uint8_t>(slug_) << damage_ << initialDamage_;
    ar << static_cast<uint8_t>(secondTexture_) << lightSize_;
  } else {
    uint8_t finished = 0, slug = 0, second = 0;
    ar >> position_[0] >> position_[1] >> position_[2] >> velocity_[0] >> velocity_[1] >> velocity_[2];
    ar >> distance_ >> finished >> slug >> damage_ >> initialDamage_ >> second >> lightSize_;
    finished_ = finished != 0;
    slug_ = slug != 0;
    secondTexture_ = second != 0;
    light_ = nullptr;
    ignored_ = nullptr;
    streak_ = nullptr;
    Start();
  }
}
