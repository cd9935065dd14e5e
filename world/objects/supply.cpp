#include "world/objects/supply.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/instance.h"
#include "engine/model.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "game/network_game.h"
#include "media/sound_manager.h"
#include "platform/crt_random.h"
#include "platform/debug_output.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CSupply, CGenericObject, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CCommonSupply, CSupply, VERSIONABLE_SCHEMA | 1)

SupplySoundObserver g_SupplySoundObserver = nullptr;

namespace {

// The type codes of the pick-up kinds, row by row.
constexpr uint16_t kKindTypeCodes[kPickupKindCount] = {
    0x4D21, 0x4D21, 0x4D20, 0x4D20, 0x4D0D, 0x4D0D, 0x4D11, 0x4D11, 0x4D0E, 0x4D0E, 0x4D0F,
    0x4D0F, 0x4D10, 0x4D10, 0x4D12, 0x4D12, 0x4D22, 0x4D22, 0x4D23, 0x4D23, 0x4D24, 0x4D24,
    0x4D38, 0x4D38, 0x4D25, 0x4D1B, 0x4D1A, 0x4D26, 0x4D35, 0x4D36, 0x4D39, 0x4D3A, 0x4D3B,
};

constexpr float kMaxHealth = 40.0f;

void Write3(uint8_t* at, const float v[3]) {
  for (int k = 0; k < 3; ++k) NetWriteF32(at + 4 * k, v[k]);
}

void Read3(const uint8_t* at, float v[3]) {
  for (int k = 0; k < 3; ++k) v[k] = NetReadF32(at + 4 * k);
}

}  // namespace

uint16_t PickupTypeCode(int kind) { return kind >= 0 && kind < kPickupKindCount ? kKindTypeCodes[kind] : 0; }

float RandomBetween(float a, float b) {
  if (a > b) {
    const float t = a;
    a = b;
    b = t;
  }
  return a + (b - a) * static_cast<float>(CrtRand()) * 3.05185e-05f;
}

// ---------------------------------------------------------------------------
// CSupply

CSupply::CSupply() : lastOutOfReach_(GetGameTime()) {}

CSupply::CSupply(DPID owner, uint32_t objectId, float x, float y, float z)
    : CGenericObject(owner, objectId), position_{x, y, z}, lastOutOfReach_(GetGameTime()) {}

CSupply::~CSupply() { Stop(); }

BOOL CSupply::Start() {
  if (active_) return TRUE;
  // Ships pass through items; the reach replaces the collision radius.
  if (mesh_) mesh_->radius = 0.0f;
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CSupply::Stop() {
  // The mesh goes whether or not the supply ran, and its animation record
  // before it: no record may point at a deleted instance.
  if (mesh_) {
    if (g_pNetDoc) g_pNetDoc->RemoveAnimatedObject(mesh_);
    InstanceDelete(mesh_);
    mesh_ = nullptr;
  }
  active_ = false;
  return TRUE;
}

void CSupply::Hide(bool announce) {
  hidden_ = true;
  if (mesh_) mesh_->collidable = 0;
  // Wide, and never negative: the seconds may come from another program.
  countdown_ = announce ? static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(respawnSeconds_) * 1000, 0,
                                                                   INT32_MAX))
                        : -1;
  if (announce) SendAction(kSupplyActionHide);
}

void CSupply::Show(bool announce) {
  countdown_ = -1;
  hidden_ = false;
  if (mesh_) mesh_->collidable = 1;
  PlayAt(kSoundRespawn);
  if (announce) SendAction(kSupplyActionShow);
}

BOOL CSupply::Update(uint32_t /*elapsedMs*/) { return TRUE; }

void CSupply::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

bool CSupply::OwnsMesh(Instance* instance) { return instance && instance == mesh_; }

int CSupply::WriteCreateMessage(uint8_t* out) const {
  const bool pack = typeCode_ == kTypeBackPack;
  const int length = pack ? kBackPackCreateBytes : kSupplyCreateBytes;
  std::memset(out, 0, static_cast<size_t>(length));
  WriteCreatePrefix(out);
  Write3(out + 20, position_);
  Write3(out + 32, velocity_);
  Write3(out + 44, angles_);
  Write3(out + 56, spin_);
  if (pack) {
    out[68] = carriedFlags_;
    for (int i = 0; i < 10; ++i) NetWriteU32(out + 72 + 4 * i, static_cast<uint32_t>(carriedCounts_[i]));
    NetWriteF32(out + 112, carriedFreon_);
  } else {
    out[68] = respawning_ ? 1 : 0;
    out[69] = hidden_ ? 1 : 0;
    NetWriteU32(out + 72, static_cast<uint32_t>(amount_));
    NetWriteU32(out + 76, static_cast<uint32_t>(respawnSeconds_));
    NetWriteU32(out + 80, static_cast<uint32_t>(kind_));
  }
  return length;
}

void CSupply::SendCreate(DPID to) {
  if (!active_ || !IsNetworkGame()) return;
  uint8_t message[kBackPackCreateBytes];
  const int length = WriteCreateMessage(message);
  SendEffectMessage(to, message, length);
}

void CSupply::SendAction(uint8_t action) const {
  if (!IsNetworkGame()) return;
  uint8_t message[kSupplyHeaderBytes] = {};
  WriteCreatePrefix(message);
  message[16] = action;
  SendEffectMessage(0, message, kSupplyHeaderBytes);
}

void CSupply::PlayAt(int soundId) const {
  if (g_SupplySoundObserver) g_SupplySoundObserver(soundId, true);
  if (g_pSoundManager) g_pSoundManager->PlaySoundAt(soundId, position_[0], position_[1], position_[2], 2);
}

void CSupply::PlayUnplaced(int soundId) {
  if (g_SupplySoundObserver) g_SupplySoundObserver(soundId, false);
  if (!g_pSoundManager) return;
  if (soundId == kSoundBzzzt) {
    g_pSoundManager->PlayBzzzt();
  } else {
    g_pSoundManager->PlaySoundVolume(soundId, 0, 0);
  }
}

void CSupply::MarkOutOfReach() { lastOutOfReach_ = GetGameTime(); }

CSupply::Touch CSupply::TouchByLocalShip() {
  CDirectPlayer* ship = g_pNetDoc ? g_pNetDoc->GetLocalPlayer() : nullptr;
  if (!ship) return Touch::kTooShort;
  const float reach = ship->GetRadius() + reach_;
  const float d[3] = {position_[0] - ship->GetX(), position_[1] - ship->GetY(), position_[2] - ship->GetZ()};
  if (!(reach * reach > d[0] * d[0] + d[1] * d[1] + d[2] * d[2])) {
    MarkOutOfReach();
    return Touch::kNo;
  }
  // Signed: a refusal sets the stamp ahead of now.
  return GameTimeSince(lastOutOfReach_) <= kSupplyTouchMs ? Touch::kTooShort : Touch::kLongEnough;
}

void CSupply::StartLoaded() {
  Start();
  if (g_pNetDoc && mesh_) g_pNetDoc->AddAnimatedObject(mesh_);
}

void CSupply::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  const int32_t now = GetGameTime();
  if (ar.IsStoring()) {
    for (const float* v : {position_, velocity_, angles_, spin_}) ar << v[0] << v[1] << v[2];
    ar << GameTimeSince(now, lastOutOfReach_);
    ar << static_cast<uint8_t>(respawning_) << static_cast<uint8_t>(hidden_);
    ar << amount_ << respawnSeconds_ << countdown_ << kind_ << reach_;
    const bool hasMesh = mesh_ && mesh_->model;
    ar << static_cast<uint8_t>(hasMesh);
    if (hasMesh) ar << CString(mesh_->model->name);
    ar << carriedFlags_;
    for (int32_t count : carriedCounts_) ar << count;
    ar << carriedFreon_ << name_;
    return;
  }
  for (float* v : {position_, velocity_, angles_, spin_}) ar >> v[0] >> v[1] >> v[2];
  int32_t sinceSave = 0;
  ar >> sinceSave;
  lastOutOfReach_ = GameTimeAdd(now, sinceSave);
  uint8_t respawning = 0, hidden = 0, hasMesh = 0;
  ar >> respawning >> hidden;
  respawning_ = respawning != 0;
  hidden_ = hidden != 0;
  ar >> amount_ >> respawnSeconds_ >> countdown_ >> kind_ >> reach_;
  ar >> hasMesh;
  // A record read in place of another drops the mesh it had.
  Stop();
  if (hasMesh) {
    CString modelName;
    ar >> modelName;
    Model* model = ModelFindByFileName(modelName);
    if (!model) CGameApp::FatalError(kSupplySource, kSupplyLineLoad);
    mesh_ = InstanceCreate(EffectWorld(), model, position_[0], position_[1], position_[2], angles_[0], angles_[1],
                           angles_[2], 0.0f);
    if (mesh_) {
      mesh_->radius = 0.0f;
      // A taken item waiting for its respawn stays out of sight.
      if (hidden_) mesh_->collidable = 0;
    }
  }
  ar >> carriedFlags_;
  for (int32_t& count : carriedCounts_) ar >> count;
  ar >> carriedFreon_ >> name_;
}

// ---------------------------------------------------------------------------
// CCommonSupply

CCommonSupply::CCommonSupply(DPID owner, uint32_t objectId, Instance* instance, bool respawning)
    : CSupply(owner, objectId, instance->x, instance->y, instance->z) {
  int a = 0, b = 0;
  kind_ = FindPickupType(instance->model ? instance->model->name : nullptr, &a, &b);
  if (kind_ >= 0) {
    amount_ = a;
    respawnSeconds_ = b;
  }
  name_ = instance->name;
  angles_[0] = instance->angleX;
  angles_[1] = instance->angleY;
  angles_[2] = instance->angleZ;
  typeCode_ = PickupTypeCode(kind_);
  mesh_ = instance;
  respawning_ = respawning;
  reach_ = instance->radius * 0.5f;
  Start();
  if (g_pNetDoc) g_pNetDoc->AddAnimatedObject(mesh_);
}

CCommonSupply::CCommonSupply(DPID owner, const uint8_t* message)
    : CSupply(owner, NetReadU32(message + 12), NetReadF32(message + 20), NetReadF32(message + 24),
              NetReadF32(message + 28)) {
  typeCode_ = static_cast<uint16_t>(NetReadU32(message) & 0xFFFFu);
  // An amount below 0 would take from the inventory: none is given.
  amount_ = std::max(static_cast<int32_t>(NetReadU32(message + 72)), 0);
  respawnSeconds_ = static_cast<int32_t>(NetReadU32(message + 76));
  respawning_ = message[68] != 0;
  kind_ = static_cast<int32_t>(NetReadU32(message + 80));
  hidden_ = message[69] != 0;
  countdown_ = -1;
  float angles[3];
  Read3(message + 44, angles);
  // The receive check refuses such a kind; a copy made otherwise stays
  // inactive and the manager drops it.
  if (kind_ < 0 || kind_ >= kPickupKindCount) {
    OutputDebugString("korvane: a pick-up of an unknown kind is not made\n");
    return;
  }
  Model* model = ModelFindByFileName(CNetDoc::GetPickupModelName(kind_));
  if (!model) CGameApp::FatalError(kSupplySource, kSupplyLineMessage);
  mesh_ = InstanceCreate(EffectWorld(), model, position_[0], position_[1], position_[2], angles[0], angles[1],
                         angles[2], 0.0f);
  if (!mesh_) return;
  reach_ = mesh_->radius * 0.5f;
  if (hidden_) mesh_->collidable = 0;
  Start();
  Read3(message + 20, position_);
  Read3(message + 32, velocity_);
  Read3(message + 44, angles_);
  Read3(message + 56, spin_);
  if (g_pNetDoc) g_pNetDoc->AddAnimatedObject(mesh_);
}

void CCommonSupply::Serialize(CArchive& ar) {
  CSupply::Serialize(ar);
  if (ar.IsLoading()) StartLoaded();
}

bool CCommonSupply::ApplyEffect() {
  CNetDoc& doc = *g_pNetDoc;
  CDirectPlayer* ship = doc.GetLocalPlayer();
  const int n = amount_;
  switch (typeCode_) {
    case 0x4D21:
      ship->AddShields(static_cast<float>(n));
      doc.AddMessage("Shields recharged", -1, FALSE);
      return true;
    case 0x4D20:
      ship->AddHealth(static_cast<float>(n));
      doc.AddMessage("Health", -1, FALSE);
      return true;
    case 0x4D0D: return doc.AddCannonShells(n);
    case 0x4D11: return doc.AddPlasmaBolts(n);
    case 0x4D0E: return doc.AddRockets(n);
    case 0x4D0F: return doc.AddHomingMissiles(n);
    case 0x4D10: return doc.AddMicroMissiles(n);
    case 0x4D12: return doc.AddTacticalNukes(n);
    case 0x4D22: return doc.AddSentryMissiles(n);
    case 0x4D23: return doc.AddCASlugs(n);
    case 0x4D24: return doc.AddVortexShields(n);
    case 0x4D38: return doc.AddEnergyCells(n);
    case 0x4D25:
      if (doc.PickUpAutocannon()) doc.AddMessage("Machine gun taken", -1, FALSE);
      doc.AddCannonShells(n);
      return true;
    case 0x4D1B:
      doc.PickUpPlasmaCoil();
      doc.AddPlasmaBolts(n);
      return true;
    case 0x4D1A:
      doc.PickUpLaser();
      doc.AddEnergyCells(n);
      return true;
    case 0x4D26:
      doc.PickUpPulseLaser();
      doc.AddEnergyCells(n);
      return true;
    case 0x4D35:
      doc.PickUpCoreAccelerator();
      doc.AddCASlugs(n);
      return true;
    case 0x4D36:
      doc.PickUpMolniaArc();
      doc.AddEnergyCells(n);
      return true;
    case 0x4D39: doc.PickUpSatelliteTransmitter(); return true;
    case 0x4D3A: doc.AddFreon(n); return true;
    case 0x4D3B: doc.PickUpCargoExtension(); return true;
    default: return true;
  }
}

BOOL CCommonSupply::Update(uint32_t elapsedMs) {
  if (hidden_) {
    if (countdown_ >= 0) {
      countdown_ -= static_cast<int32_t>(elapsedMs);
      if (countdown_ < 0) Show(true);
    }
    return TRUE;
  }
  CSupply::Update(elapsedMs);
  CDirectPlayer* ship = g_pNetDoc ? g_pNetDoc->GetLocalPlayer() : nullptr;
  if (!ship || ship->IsDead() || !mesh_ || !mesh_->collidable) return TRUE;
  const bool needed = typeCode_ == 0x4D20   ? ship->GetHealth() < kMaxHealth
                      : typeCode_ == 0x4D21 ? ship->GetShields() < ship->GetMaxShields()
                                            : true;
  if (!needed) {
    MarkOutOfReach();
    return TRUE;
  }
  if (TouchByLocalShip() != Touch::kLongEnough) return TRUE;
  if (!ApplyEffect()) {
    // Full: the next try comes kSupplyRetryMs from now.
    lastOutOfReach_ = GameTimeAdd(GetGameTime(), kSupplyRetryMs - kSupplyTouchMs);
    PlayUnplaced(kSoundBzzzt);
    return TRUE;
  }
  if (typeCode_ != 0x4D20 && typeCode_ != 0x4D21) PlayUnplaced(kSoundAmmo);
  if (respawning_ && IsNetworkGame()) {
    Hide(true);
    return TRUE;
  }
  if (g_pNetDoc) g_pNetDoc->RemoveAnimatedObject(mesh_);
  return FALSE;
}
