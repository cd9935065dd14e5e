#include "world/objects/back_pack.h"

#include <cmath>

#include "engine/instance.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "platform/debug_output.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CBackPack, CSupply, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr int32_t kBackPackRespawnSeconds = 999999;
// The selected-gun bits a back pack carries, with what each gives.
constexpr uint8_t kCarriedGuns = 1 | 2 | 4 | 8 | 16 | 32;

// One carried count to the inventory by the counter's own operation.
void AddCarried(CNetDoc& doc, int counter, int n) {
  switch (counter) {
    case kAmmoShells: doc.AddCannonShells(n); break;
    case kAmmoPlasmaBolts: doc.AddPlasmaBolts(n); break;
    case kAmmoNukes: doc.AddTacticalNukes(n); break;
    case kAmmoSlugs: doc.AddCASlugs(n); break;
    case kAmmoRockets: doc.AddRockets(n); break;
    case kAmmoHoming: doc.AddHomingMissiles(n); break;
    case kAmmoMicroMissiles: doc.AddMicroMissiles(n); break;
    case kAmmoSentries: doc.AddSentryMissiles(n); break;
    case kAmmoVortexShields: doc.AddVortexShields(n); break;
    case kAmmoEnergyCells: doc.AddEnergyCells(n); break;
    default: break;
  }
}

}  // namespace

Instance* CBackPack::MakeMesh(const float angles[3]) {
  Model* cargo = g_pNetDoc ? g_pNetDoc->GetCargoModel() : nullptr;
  Instance* mesh = cargo ? InstanceCreate(EffectWorld(), cargo, position_[0], position_[1], position_[2], angles[0],
                                          angles[1], angles[2], 0.0f)
                         : nullptr;
  if (!mesh) OutputDebugString("korvane: no cargo model: the back pack is not made\n");
  return mesh;
}

CBackPack::CBackPack(DPID owner, uint32_t objectId, float x, float y, float z)
    : CSupply(owner, objectId, x, y, z) {
  typeCode_ = kTypeBackPack;
  respawning_ = true;
  // The mesh first: a back pack that can't be shown takes nothing, so the
  // inventory is never lost with it.
  mesh_ = MakeMesh(angles_);
  if (!mesh_) return;
  CNetDoc& doc = *g_pNetDoc;
  carriedFlags_ = static_cast<uint8_t>(doc.GetSelectedGun() & kCarriedGuns);
  for (int counter = 0; counter < kAmmoCounters; ++counter) {
    carriedCounts_[counter] = doc.GetAmmo(counter);
    doc.SetAmmo(counter, 0);
  }
  carriedFreon_ = doc.GetFreon();
  doc.SetFreon(0.0f);
  doc.InvalidateHudPanels();
  respawnSeconds_ = kBackPackRespawnSeconds;
  reach_ = 0.5f * mesh_->radius;
  Start();
  doc.AddAnimatedObject(mesh_);
}

CBackPack::CBackPack(DPID owner, const uint8_t* message)
    : CSupply(owner, NetReadU32(message + 12), NetReadF32(message + 20), NetReadF32(message + 24),
              NetReadF32(message + 28)) {
  typeCode_ = static_cast<uint16_t>(NetReadU32(message) & 0xFFFFu);
  respawning_ = true;
  const float angles[3] = {NetReadF32(message + 44), NetReadF32(message + 48), NetReadF32(message + 52)};
  mesh_ = MakeMesh(angles);
  if (!mesh_) return;
  reach_ = 0.5f * mesh_->radius;
  Start();
  for (int k = 0; k < 3; ++k) {
    position_[k] = NetReadF32(message + 20 + 4 * k);
    velocity_[k] = NetReadF32(message + 32 + 4 * k);
    angles_[k] = NetReadF32(message + 44 + 4 * k);
    spin_[k] = NetReadF32(message + 56 + 4 * k);
  }
  carriedFlags_ = message[68];
  for (int i = 0; i < 10; ++i) carriedCounts_[i] = static_cast<int32_t>(NetReadU32(message + 72 + 4 * i));
  carriedFreon_ = NetReadF32(message + 112);
  respawnSeconds_ = kBackPackRespawnSeconds;
  if (g_pNetDoc) g_pNetDoc->AddAnimatedObject(mesh_);
}

void CBackPack::Serialize(CArchive& ar) {
  CSupply::Serialize(ar);
  if (ar.IsLoading()) StartLoaded();
}

void CBackPack::Give() {
  CNetDoc& doc = *g_pNetDoc;
  if ((carriedFlags_ & 1) && doc.PickUpAutocannon()) doc.AddMessage("Machine gun taken", -1, FALSE);
  if (carriedFlags_ & 2) doc.PickUpPlasmaCoil();
  if (carriedFlags_ & 4) doc.PickUpLaser();
  if (carriedFlags_ & 8) doc.PickUpPulseLaser();
  if (carriedFlags_ & 16) doc.PickUpMolniaArc();
  if (carriedFlags_ & 32) doc.PickUpCoreAccelerator();
  // The counts in their carried order, each by its own operation.
  for (int counter = 0; counter < kAmmoCounters; ++counter) {
    if (carriedCounts_[counter] > 0) AddCarried(doc, counter, carriedCounts_[counter]);
  }
  // A fraction of a unit still counts as one; NaN gives nothing.
  if (carriedFreon_ > 0.0f) doc.AddFreon(static_cast<int>(std::ceil(std::fmin(carriedFreon_, 1e6f))));
}

BOOL CBackPack::Update(uint32_t elapsedMs) {
  CSupply::Update(elapsedMs);
  CDirectPlayer* ship = g_pNetDoc ? g_pNetDoc->GetLocalPlayer() : nullptr;
  if (!ship || ship->IsDead()) return TRUE;
  if (TouchByLocalShip() != Touch::kLongEnough) return TRUE;
  Give();
  PlayUnplaced(kSoundAmmo);
  Hide(true);
  if (mesh_) g_pNetDoc->RemoveAnimatedObject(mesh_);
  return FALSE;
}
