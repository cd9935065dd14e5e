#include "world/objects/flash_light.h"

#include "engine/light.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CFlashLight, CGenericObject, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CRespawnLight, CFlashLight, VERSIONABLE_SCHEMA | 1)

CFlashLight::CFlashLight(DPID owner, uint32_t objectId, float x, float y, float z, float intensity, float fadeRate)
    : CGenericObject(owner, objectId), x_(x), y_(y), z_(z), intensity_(intensity), fadeRate_(fadeRate) {
  typeCode_ = kTypeFlashLight;
  if (fadeRate >= 0.0f) Start();
}

CFlashLight::~CFlashLight() { Stop(); }

BOOL CFlashLight::Start() {
  if (active_) return TRUE;
  light_ = LightCreate(EffectWorld(), x_, y_, z_, 0.0f, 0.0f, 0.0f, intensity_, 20.0f * intensity_,
                       60.0f * intensity_, 0, 1);
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CFlashLight::Stop() {
  if (!active_) return TRUE;
  if (light_) LightDelete(light_);
  light_ = nullptr;
  active_ = false;
  return TRUE;
}

BOOL CFlashLight::Update(uint32_t elapsedMs) {
  // Both already per second: the rate grows by 3 a second and the intensity
  // falls by the rate a second.
  fadeRate_ += 0.003f * static_cast<float>(elapsedMs);
  intensity_ -= fadeRate_ * static_cast<float>(elapsedMs) / 1000.0f;
  if (intensity_ < 0.0f) return FALSE;
  if (light_) LightSet(light_, x_, y_, z_, intensity_, 20.0f * intensity_, 60.0f * intensity_, 0);
  return TRUE;
}

void CFlashLight::GetPosition(float& x, float& y, float& z) {
  x = x_;
  y = y_;
  z = z_;
}

void CFlashLight::WriteCreateMessage(uint8_t out[kLightMessageBytes]) const {
  for (int i = 0; i < kLightMessageBytes; ++i) out[i] = 0;
  WriteCreatePrefix(out);
  PutMessageFloat(out + 20, x_);
  PutMessageFloat(out + 24, y_);
  PutMessageFloat(out + 28, z_);
  PutMessageFloat(out + 32, intensity_);
  PutMessageFloat(out + 36, fadeRate_);
}

void CFlashLight::SendCreate(DPID to) {
  if (!active_) return;
  uint8_t message[kLightMessageBytes];
  WriteCreateMessage(message);
  SendEffectMessage(to, message, kLightMessageBytes);
}

void CFlashLight::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << x_ << y_ << z_ << intensity_ << fadeRate_;
    return;
  }
  ar >> x_ >> y_ >> z_ >> intensity_ >> fadeRate_;
  light_ = nullptr;
}

CRespawnLight::CRespawnLight(DPID owner, uint32_t objectId, float x, float y, float z)
    : CFlashLight(owner, objectId, x, y, z, 5.0f, -1.0f) {
  typeCode_ = kTypeRespawnLight;
  PlayEffectSound(kSoundPlayGame, x, y, z, 0);
  fadeRate_ = 2.5f;
  Start();
}

void CRespawnLight::Serialize(CArchive& ar) {
  CFlashLight::Serialize(ar);
  if (!ar.IsStoring()) Start();
}
