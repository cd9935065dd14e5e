#include "world/objects/static_sprite.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/light.h"
#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CStaticSprite, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

void Normalise(float v[3]) { ScaleToLength(v, 1.0f); }

void Cross(const float a[3], const float b[3], float out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

CStaticSprite::CStaticSprite(DPID owner, uint32_t objectId, float x, float y, float z, float damage)
    : CGenericObject(owner, objectId), framePrefix_("!sht_"), x_(x), y_(y), z_(z), damage_(damage) {
  // Every concrete class sets its own frames; the bullet mark's prefix is
  // only a default, looked up by the class that keeps it.
}

CStaticSprite::~CStaticSprite() {
  Stop();
  // An explosion makes its light before it starts; one that never started
  // still owns it.
  if (quad_) PolygonDelete(quad_);
  if (light_) LightDelete(light_);
  quad_ = nullptr;
  light_ = nullptr;
}

void CStaticSprite::SetFrames(const char* prefix) {
  framePrefix_ = prefix;
  frameCount_ = 0;
  for (Texture*& frame : frames_) frame = nullptr;
  if (g_pNetDoc) g_pNetDoc->LoadFrameSequence(framePrefix_, frames_, &frameCount_);
}

void CStaticSprite::ApplyBlast() {
  blastDone_ = true;
  if (!damageEnabled_ || damage_ <= 0.01f || !g_pNetDoc) return;
  g_pNetDoc->ApplyBlastDamage(x_, y_, z_, 1.5f * size_, damage_, owner_, false);
}

BOOL CStaticSprite::Start() {
  if (active_) return TRUE;
  if (randomUp_) {
    up_[0] = RandomSymmetric(1.0f);
    up_[1] = RandomSymmetric(1.0f);
    up_[2] = 0.0f;
    if (up_[0] * up_[0] + up_[1] * up_[1] < 0.001f) up_[1] = 1.0f;
  }
  if (delay_ < 0) {
    if (!blastDone_) ApplyBlast();
    if (!BuildQuad()) return FALSE;
  }
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CStaticSprite::Stop() {
  if (!active_) return TRUE;
  if (quad_) PolygonDelete(quad_);
  if (light_) LightDelete(light_);
  quad_ = nullptr;
  light_ = nullptr;
  active_ = false;
  return TRUE;
}

BOOL CStaticSprite::Update(uint32_t elapsedMs) {
  if (delay_ >= 0) {
    delay_ -= static_cast<int32_t>(elapsedMs);
    if (delay_ < 0 && !blastDone_) ApplyBlast();
    if (delay_ >= 0) return TRUE;
  }
  framePosition_ += static_cast<float>(elapsedMs) * framesPerSecond_ * 0.001f;
  // Written so that a NaN or huge position (a damaged saved game) ends the
  // sprite instead of reaching the integer conversion.
  if (!(framePosition_ < static_cast<float>(frameCount_))) return FALSE;
  currentFrame_ = static_cast<int32_t>(framePosition_);
  if (currentFrame_ >= frameCount_) return FALSE;
  if (quad_) PolygonDelete(quad_);
  quad_ = nullptr;
  if (!BuildQuad()) return FALSE;
  if (light_) {
    float value = lightValue_;
    const int n = frameCount_;
    if (static_cast<float>(2 * n / 3) < framePosition_) {
      value = (static_cast<float>(n) - framePosition_) * lightValue_ / static_cast<float>(n / 3 + 1);
    }
    LightSet(light_, x_, y_, z_, 3.0f, value, 4.0f * value, 0);
  }
  return TRUE;
}

BOOL CStaticSprite::BuildQuad() {
  World* world = EffectWorld();
  if (!world || currentFrame_ < 0 || currentFrame_ >= frameCount_ || !frames_[currentFrame_]) return FALSE;
  float n[3];
  float shift[3] = {0.0f, 0.0f, 0.0f};
  if (fixedFacing_) {
    for (int i = 0; i < 3; ++i) n[i] = facing_[i];
  } else {
    float vx = 0, vy = 0, vz = 0;
    g_pNetDoc->GetViewerPosition(&vx, &vy, &vz);
    n[0] = vx - x_;
    n[1] = vy - y_;
    n[2] = vz - z_;
    const float d = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    // A viewer inside the sprite sees the square pushed on along its line
    // of sight.
    if (d > 0.000001f && d < 40.0f && d < size_) {
      for (int i = 0; i < 3; ++i) shift[i] = -n[i] * 40.0f / d;
    }
  }
  Normalise(n);
  const float position[3] = {x_, y_, z_};
  float c[3];
  for (int i = 0; i < 3; ++i) c[i] = position[i] + 0.5f * size_ * n[i] + shift[i];
  float r[3], u[3];
  Cross(n, up_, r);
  Normalise(r);
  Cross(n, r, u);
  Normalise(u);
  const float s = size_;
  float corners[4][3];
  for (int i = 0; i < 3; ++i) {
    corners[0][i] = c[i] - (r[i] + u[i]) * s;
    corners[1][i] = c[i] + (r[i] - u[i]) * s;
    corners[2][i] = c[i] + (r[i] + u[i]) * s;
    corners[3][i] = c[i] + (u[i] - r[i]) * s;
  }
  Surface* surface =
      CreateSpriteQuad(world, corners[3], corners[0], corners[1], TextureAddRef(frames_[currentFrame_]));
  const float xs[4] = {corners[0][0], corners[1][0], corners[2][0], corners[3][0]};
  const float ys[4] = {corners[0][1], corners[1][1], corners[2][1], corners[3][1]};
  const float zs[4] = {corners[0][2], corners[1][2], corners[2][2], corners[3][2]};
  const float light[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  quad_ = PolygonCreate(world, 4, xs, ys, zs, light, surface);
  if (!quad_) return FALSE;
  MakeEffectObject(quad_);
  quad_->flatColour = -1;
  quad_->flags |= 0x204;
  return TRUE;
}

void CStaticSprite::GetPosition(float& x, float& y, float& z) {
  x = x_;
  y = y_;
  z = z_;
}

void CStaticSprite::WriteCreateMessage(uint8_t out[kSpriteMessageBytes]) const {
  for (int i = 0; i < kSpriteMessageBytes; ++i) out[i] = 0;
  WriteCreatePrefix(out);
  PutMessageFloat(out + 20, x_);
  PutMessageFloat(out + 24, y_);
  PutMessageFloat(out + 28, z_);
  PutMessageFloat(out + 32, size_);
  PutMessageFloat(out + 36, damage_);
  out[40] = variant_;
  PutMessageU32(out + 44, static_cast<uint32_t>(delay_));
}

void CStaticSprite::SendCreate(DPID to) {
  if (!active_) return;
  if (typeCode_ == kTypeBulletMark || typeCode_ == kTypeLaserMark || typeCode_ == kTypeStaticSmoke) return;
  uint8_t message[kSpriteMessageBytes];
  WriteCreateMessage(message);
  SendEffectMessage(to, message, kSpriteMessageBytes);
}

void CStaticSprite::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << framePrefix_ << x_ << y_ << z_ << size_ << framesPerSecond_ << framePosition_ << currentFrame_;
    ArchiveStoreBool(ar, damageEnabled_);
    ar << damage_ << lightValue_ << variant_;
    ArchiveStoreBool(ar, fixedFacing_);
    ar << facing_[0] << facing_[1] << facing_[2] << delay_;
    return;
  }
  CString prefix;
  ar >> prefix >> x_ >> y_ >> z_ >> size_ >> framesPerSecond_ >> framePosition_ >> currentFrame_;
  ArchiveLoadBool(ar, damageEnabled_);
  ar >> damage_ >> lightValue_ >> variant_;
  ArchiveLoadBool(ar, fixedFacing_);
  ar >> facing_[0] >> facing_[1] >> facing_[2] >> delay_;
  quad_ = nullptr;
  light_ = nullptr;
  randomUp_ = false;
  // A sprite saved after its delay ran out has blasted already.
  blastDone_ = delay_ < 0;
  framePrefix_ = prefix;
  frameCount_ = 0;
  for (Texture*& frame : frames_) frame = nullptr;
  // A saved game may name frames this level lacks: the sprite then does
  // not start (and is dropped) instead of ending the program.
  if (g_pNetDoc) g_pNetDoc->FindFrameSequence(framePrefix_, frames_, &frameCount_);
  currentFrame_ = framePosition_ >= 0.0f && framePosition_ < static_cast<float>(frameCount_)
                      ? static_cast<int32_t>(framePosition_)
                      : frameCount_;
}

// The concrete classes.

IMPLEMENT_SERIAL_CLASS(CBulletMarkObject, CStaticSprite, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CLaserMarkObject, CStaticSprite, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CStaticSmoke, CStaticSprite, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CForceField, CStaticSprite, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CExplosionObject, CStaticSprite, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CSmallExplosionObject, CStaticSprite, VERSIONABLE_SCHEMA | 1)

namespace {

// "!exp_" or "!4exp" by the parity of rand().
const char* RandomExplosionFrames() { return (CrtRand() & 1) ? "!exp_" : "!4exp"; }

}  // namespace

CBulletMarkObject::CBulletMarkObject(DPID owner, uint32_t objectId, float x, float y, float z)
    : CStaticSprite(owner, objectId, x, y, z, 0.0f) {
  typeCode_ = kTypeBulletMark;
  SetFrames("!sht_");
  size_ = 0.84f;
  framesPerSecond_ = 30.0f;
  damageEnabled_ = false;
  randomUp_ = true;
  Start();
}

CLaserMarkObject::CLaserMarkObject(DPID owner, uint32_t objectId, float x, float y, float z)
    : CStaticSprite(owner, objectId, x, y, z, 0.0f) {
  typeCode_ = kTypeLaserMark;
  SetFrames("!grn_");
  size_ = 0.84f;
  framesPerSecond_ = 30.0f;
  damageEnabled_ = false;
  randomUp_ = true;
  Start();
}

CStaticSmoke::CStaticSmoke(DPID owner, uint32_t objectId, float x, float y, float z, float size)
    : CStaticSprite(owner, objectId, x, y, z, 0.0f) {
  typeCode_ = kTypeStaticSmoke;
  SetFrames("!smo");
  size_ = size > 0.0f ? size : 1.7f;
  framesPerSecond_ = 15.0f;
  damageEnabled_ = false;
  Start();
}

CForceField::CForceField(DPID owner, uint32_t objectId, float x, float y, float z, float nx, float ny, float nz,
                         float size)
    : CStaticSprite(owner, objectId, x + 0.1f * nx, y + 0.1f * ny, z + 0.1f * nz, 0.0f) {
  typeCode_ = kTypeForceField;
  SetFrames("!field");
  size_ = 0.6f * size;
  framesPerSecond_ = 20.0f;
  damageEnabled_ = false;
  randomUp_ = true;
  fixedFacing_ = true;
  facing_[0] = nx;
  facing_[1] = ny;
  facing_[2] = nz;
  Start();
}

CExplosionObject::CExplosionObject(DPID owner, uint32_t objectId, float x, float y, float z, float size,
                                   float damage, uint8_t variant, int32_t delay)
    : CStaticSprite(owner, objectId, x, y, z, damage) {
  typeCode_ = kTypeExplosion;
  float vx = 0, vy = 0, vz = 0;
  if (g_pNetDoc) g_pNetDoc->GetViewerPosition(&vx, &vy, &vz);
  const float dx = vx - x, dy = vy - y, dz = vz - z;
  const float d = std::max(std::sqrt(dx * dx + dy * dy + dz * dz), 0.00001f);
  // The tall frame sets look wrong from steeply above or below.
  if (std::fabs(dy) / d > 0.8f) variant = 0;
  variant_ = variant;
  SetFrames(variant == 1 ? "!2exp_" : variant == 2 ? "!3exp_" : RandomExplosionFrames());
  size_ = size;
  framesPerSecond_ = 10.0f;
  delay_ = delay;
  randomUp_ = true;
  lightValue_ = 2.0f * size;
  light_ = LightCreate(EffectWorld(), x, y, z, 0.0f, 0.0f, 0.0f, 3.0f, 2.0f * size, 8.0f * size, 0, 1);
  Start();
}

CSmallExplosionObject::CSmallExplosionObject(DPID owner, uint32_t objectId, float x, float y, float z)
    : CStaticSprite(owner, objectId, x, y, z, 5.0f) {
  typeCode_ = kTypeSmallExplosion;
  SetFrames(RandomExplosionFrames());
  size_ = 6.0f;
  framesPerSecond_ = 10.0f;
  randomUp_ = true;
  Start();
}

// Each concrete class starts once its fields are read.
#define KV_SPRITE_SERIALIZE(class_name)          \
  void class_name::Serialize(CArchive& ar) {     \
    CStaticSprite::Serialize(ar);                \
    if (!ar.IsStoring()) Start();                \
  }
KV_SPRITE_SERIALIZE(CBulletMarkObject)
KV_SPRITE_SERIALIZE(CLaserMarkObject)
KV_SPRITE_SERIALIZE(CStaticSmoke)
KV_SPRITE_SERIALIZE(CForceField)
KV_SPRITE_SERIALIZE(CExplosionObject)
KV_SPRITE_SERIALIZE(CSmallExplosionObject)
#undef KV_SPRITE_SERIALIZE
