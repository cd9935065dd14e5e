#include "world/objects/fire_ball.h"

#include <cstring>

#include "engine/collision.h"
#include "engine/light.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "media/sound_manager.h"
#include "platform/framework/serial_archive.h"
#include "world/document/flat_polygons.h"
#include "world/objects/collision_settings.h"
#include "world/objects/effect_services.h"
#include "world/objects/frame_cycle.h"
#include "world/objects/missile.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/projectile_hits.h"
#include "world/objects/weapon_math.h"

IMPLEMENT_SERIAL_CLASS(CFireBall, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr int kSoundLaserRicochet = 8;  // "laserric"

}  // namespace

CFireBall::CFireBall(DPID owner, uint32_t objectId, Instance* ignored, float x, float y, float z, float vx, float vy,
                     float vz, bool upgraded, float damage)
    : CGenericObject(owner, objectId),
      position_{x, y, z},
      velocity_{vx, vy, vz},
      ignored_(ignored),
      damage_(damage),
      upgraded_(upgraded) {
  typeCode_ = kTypeFireBall;
  framePrefix_ = upgraded ? "!dpulse" : "!gpulse";
  if (g_pNetDoc) g_pNetDoc->LoadFrameSequence(framePrefix_, frames_, &frameCount_);
  Start();
}

CFireBall::~CFireBall() { Stop(); }

BOOL CFireBall::Start() {
  if (active_) return TRUE;
  light_ = LightCreate(EffectWorld(), position_[0], position_[1], position_[2], 0.0f, 1.0f, upgraded_ ? 1.0f : 0.0f,
                       0.0f, lightSize_, 4.0f * lightSize_, 0, 0);
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CFireBall::Stop() {
  if (!active_) return TRUE;
  if (light_) LightDelete(light_);
  light_ = nullptr;
  if (square_) PolygonDelete(square_);
  square_ = nullptr;
  active_ = false;
  return TRUE;
}

void CFireBall::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CFireBall::WriteCreateMessage(uint8_t out[kFireBallMessageBytes]) const {
  WriteShotCreateMessage(out, position_, velocity_, damage_);
  out[48] = upgraded_ ? 1 : 0;
}

void CFireBall::SendCreate(DPID to) {
  if (!active_) return;
  uint8_t message[kFireBallMessageBytes];
  WriteCreateMessage(message);
  SendEffectMessage(to, message, kFireBallMessageBytes);
}

BOOL CFireBall::Update(uint32_t elapsedMs) {
  if (square_) PolygonDelete(square_);
  square_ = nullptr;
  if (hit_) return FALSE;
  World* world = EffectWorld();
  if (!world || !g_pNetDoc) return FALSE;
  CNetDoc& doc = *g_pNetDoc;
  const float t = static_cast<float>(elapsedMs) / 1000.0f;
  const V3 o = Load3(position_);
  V3 p = o + Load3(velocity_) * t;
  if (light_) LightSet(light_, p.x, p.y, p.z, 0.0f, lightSize_, 4.0f * lightSize_, 0);

  // The shooter's ship may have left since the shot: a freed instance is
  // never handed to the engine.
  if (ignored_ && !WorldHasInstance(world, ignored_)) ignored_ = nullptr;
  V3 h = p;
  WorldPolygon* polygon = nullptr;
  Instance* instance = nullptr;
  int result = kRayNothing;
  {
    CollisionSettingsScope settings;
    CollideSetIgnore(ignored_);
    result = CollideRay(world, &h.x, &h.y, &h.z, &polygon, &instance, o.x, o.y, o.z, p.x, p.y, p.z);
    CollideSetIgnore(nullptr);
  }
  const uint32_t colour = upgraded_ ? kFireBallCyan : kFireBallGreen;
  if (result == kRayInstance && instance) {
    RaiseInstanceDamageEvent(instance);
    if (instance != doc.GetPlayerShip()) {
      const V3 back = o - h;
      doc.SpawnSparks(owner_, h.x, h.y, h.z, back.x, back.y, back.z, colour);
    }
    DamageInstanceFrom(instance, damage_, owner_, ignored_);
    p = h;
    hit_ = true;
  } else if (result == kRayPolygon && polygon) {
    if (!doc.OnPolygonHit(polygon, h.x, h.y, h.z, damage_)) {
      PlayEffectSound(kSoundLaserRicochet, h.x, h.y, h.z, kSoundRandomPitch);
      if (doc.IsDestructible(polygon)) {
        doc.SpawnStaticSmoke(0, h.x, h.y, h.z, -1.0f);
        const Vec3& n = polygon->worldNormal;
        doc.SpawnSparks(owner_, h.x, h.y, h.z, n.x, n.y, n.z, colour);
      } else {
        doc.SpawnLaserMark(0, h.x, h.y, h.z);
      }
      doc.OnSurfaceHit(polygon, h.x, h.y, h.z, o.x, o.y, o.z, 1.2f);
    }
    p = h;
    hit_ = true;
  }
  Store3(position_, p);
  distance_ += Length(p - o);
  if (distance_ > kFireBallRange) return FALSE;

  framePosition_ += frameRate_ * t;
  const int k = CycleFrame(framePosition_, frameCount_);
  const V3 m = (p + o * 2.0f) * (1.0f / 3.0f);
  V3 viewer = {0, 0, 0};
  doc.GetViewerPosition(&viewer.x, &viewer.y, &viewer.z);
  const V3 normal = m - viewer;
  square_ = CreateSquareMarkPolygon(m.x, m.y, m.z, normal.x, normal.y, normal.z, size_, GetFrame(k));
  return TRUE;
}

void CFireBall::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << position_[0] << position_[1] << position_[2] << velocity_[0] << velocity_[1] << velocity_[2];
    ar << distance_;
    ArchiveStoreBool(ar, hit_);
    ar << frameRate_ << framePosition_ << size_ << framePrefix_ << damage_;
    ArchiveStoreBool(ar, upgraded_);
    return;
  }
  ar >> position_[0] >> position_[1] >> position_[2] >> velocity_[0] >> velocity_[1] >> velocity_[2];
  ar >> distance_;
  ArchiveLoadBool(ar, hit_);
  ar >> frameRate_ >> framePosition_ >> size_ >> framePrefix_ >> damage_;
  ArchiveLoadBool(ar, upgraded_);
  frameCount_ = 0;
  for (Texture*& frame : frames_) frame = nullptr;
  // A prefix from the file that names no frames: the ball flies unseen.
  if (g_pNetDoc) g_pNetDoc->FindFrameSequence(framePrefix_, frames_, &frameCount_);
  light_ = nullptr;
  lightSize_ = 50.0f;
  ignored_ = nullptr;
  square_ = nullptr;
  Start();
}
