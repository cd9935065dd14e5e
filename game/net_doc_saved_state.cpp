// The document's own part of a saved game, one routine for both directions
// so that the order lives in one place. Every time stamp is kept relative to
// the game clock (stored as stamp - now, read back as value + now), so
// timers run on although the loading process's clock differs.
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

#include "engine/instance.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/saved_game.h"
#include "platform/framework/serial_archive.h"
#include "world/paths/path_point.h"

namespace {

constexpr int kLineNoShipInstance = 4338;
constexpr int kMaxDifficulty = 3;

uint32_t Now() { return static_cast<uint32_t>(GetGameTime()); }

// One direction's primitives over the archive.
class StateIo {
 public:
  explicit StateIo(CArchive& archive) : archive_(archive), storing_(archive.IsStoring()), now_(Now()) {}
  bool Storing() const { return storing_; }

  void Bool(uint8_t& value) {
    if (storing_) {
      ArchiveStoreBool(archive_, value != 0);
    } else {
      bool read = false;
      ArchiveLoadBool(archive_, read);
      value = read ? 1 : 0;
    }
  }
  void Byte(uint8_t& value) { storing_ ? void(archive_ << value) : void(archive_ >> value); }
  void Int(int32_t& value) { storing_ ? void(archive_ << value) : void(archive_ >> value); }
  void Unsigned(uint32_t& value) { storing_ ? void(archive_ << value) : void(archive_ >> value); }
  void Float(float& value) { storing_ ? void(archive_ << value) : void(archive_ >> value); }
  void Time(uint32_t& stamp) {
    if (storing_) {
      archive_ << static_cast<uint32_t>(stamp - now_);
    } else {
      uint32_t stored = 0;
      archive_ >> stored;
      stamp = stored + now_;
    }
  }
  void Time(int& stamp) {
    auto value = static_cast<uint32_t>(stamp);
    Time(value);
    stamp = static_cast<int>(value);
  }
  void Vec(Vec3& v) {
    Float(v.x);
    Float(v.y);
    Float(v.z);
  }
  template <size_t N>
  void Ints(int32_t (&values)[N]) {
    for (int32_t& v : values) Int(v);
  }

 private:
  CArchive& archive_;
  bool storing_;
  uint32_t now_;
};

// A read float that is not finite marks a damaged file.
void RequireFinite(std::initializer_list<float> values) {
  for (float v : values) {
    if (!std::isfinite(v)) throw CArchiveException(CArchiveException::generic);
  }
}

// Deletes what the archive made after before (a read that failed).
void DropLoadedSince(CArchive& archive, size_t before) {
  const std::vector<CObject*>& loaded = archive.LoadedObjects();
  for (size_t i = before; i < loaded.size(); ++i) delete loaded[i];
}

}  // namespace

void CNetView::SerializeSavedState(CArchive& archive) {
  StateIo io(archive);
  io.Bool(backgroundClearing_);
  io.Float(depthCueFar_);
  io.Bool(depthCueing_);
  io.Time(lastStepTime_);
  io.Bool(missionFailed_);
  if (!io.Storing()) RequireFinite({depthCueFar_});
}

void CNetDoc::SerializeState(CArchive& archive) {
  StateIo io(archive);
  const bool storing = io.Storing();

  // 1-6. The view's part: the interface manager's cockpit option, then the
  // view's own bytes. Without them the defaults are written and a file's
  // values read and dropped.
  uint8_t cockpit = g_pInterface ? (g_pInterface->IsCockpitShown() ? 1 : 0) : 1;
  io.Bool(cockpit);
  if (!storing && g_pInterface) g_pInterface->SetCockpitShown(cockpit != 0);
  if (view_) {
    view_->SerializeSavedState(archive);
  } else {
    uint8_t clearing = 1, cueing = 0, failed = 0;
    float far = -1.0f;
    uint32_t step = Now();
    io.Bool(clearing);
    io.Float(far);
    io.Bool(cueing);
    io.Time(step);
    io.Bool(failed);
  }
  // 7, 8.
  io.Unsigned(nextObjectId_);
  io.Bool(reserved_);
  io.Bool(scriptCamera_);

  // 9. The local player: registered, with a ship made for it.
  if (storing) {
    archive.WriteObject(localPlayer_);
  } else {
    const size_t before = archive.LoadedObjects().size();
    CDirectPlayer* player = nullptr;
    try {
      ExtractDirectPlayer(archive, player);
      if (!player) throw CArchiveException(CArchiveException::badClass);
      const float* m = player->GetOrientation();
      for (int i = 0; i < 16; ++i) RequireFinite({m[i]});
      RequireFinite({player->GetRadius(), player->GetHealth(), player->GetShields()});
    } catch (...) {
      DropLoadedSince(archive, before);
      throw;
    }
    localPlayer_ = player;
    AddPlayer(player);
    shipInstance_ = InstanceCreate(world_, shipModel_, 0, 0, 0, 0, 0, 0, 0);
    if (!shipInstance_) CGameApp::FatalError(kNetDocSource, kLineNoShipInstance);
    player->SetRadius(shipInstance_->radius * 0.95f);
    ApplyShipSkin(shipInstance_, player->GetLongName());
  }
  // 10-13.
  io.Bool(chaseView_);
  io.Vec(chaseOffset_);
  io.Vec(cameraVector2_);
  for (CPathPoint*& slot : cameraSlots_) {
    if (storing) {
      archive << slot;
    } else {
      const size_t before = archive.LoadedObjects().size();
      try {
        archive >> slot;
      } catch (...) {
        DropLoadedSince(archive, before);
        throw;
      }
    }
  }
  // 14-16.
  io.Int(steering_);
  io.Bool(fireHeld_);
  io.Ints(hudRedraw_);
  // 17.
  io.Time(objectStepTime_);
  for (uint32_t& stamp : lastFireTimes_) io.Time(stamp);
  io.Time(textureAnimationTime_);
  io.Time(spareTime_);
  // 18-21.
  io.Bool(frozen_);
  io.Bool(pulsingDepthCue_);
  io.Bool(clockPaused_);
  io.Float(hitFlash_);
  io.Time(hitFlashDecayTime_);
  uint8_t autoLowRes = g_pInterface && g_pInterface->IsAutoLowRes() ? 1 : 0;
  io.Bool(autoLowRes);
  if (!storing && g_pInterface && g_pInterface->IsAutoLowRes() != (autoLowRes != 0)) g_pInterface->ToggleAutoLowRes();
  // 22-25.
  io.Byte(selectedMissile_);
  io.Byte(selectedGun_);
  io.Byte(ownedMissiles_);
  io.Byte(ownedGuns_);
  io.Byte(autocannonUpgrade_);
  io.Byte(cargoUnits_);
  io.Ints(radarValues_);
  io.Time(radarTimes_[0]);
  io.Bool(radarShown_);
  // 26-33.
  io.Ints(ammo_);
  io.Float(gunHeat_);
  io.Float(freon_);
  io.Time(explosionFlashTime_);
  io.Float(explosionFlash_);
  io.Int(targetMarkerX_);
  io.Int(targetMarkerY_);
  io.Bool(targetMarkerShown_);
  io.Int(shakeLevel_);
  int32_t difficulty = g_pInterface ? g_pInterface->GetDifficulty() : 1;
  io.Int(difficulty);
  if (!storing) {
    if (difficulty < 0 || difficulty > kMaxDifficulty) throw CArchiveException(CArchiveException::generic);
    if (g_pInterface) g_pInterface->SetDifficulty(difficulty);
  }
  // 34. The display-switching byte belongs to the running display only: 0
  // in the file, ignored when read.
  io.Bool(laserUpgraded_);
  io.Bool(pulseLaserUpgraded_);
  io.Bool(hudByte_);
  uint8_t switching = 0;
  io.Bool(switching);
  io.Bool(invulnerable_);
  io.Bool(staticShield_);
  // 35-39.
  VisitTuningBlock(tuning_, [&io](auto& value) {
    if constexpr (std::is_same_v<std::remove_reference_t<decltype(value)>, float>) {
      io.Float(value);
    } else {
      io.Int(value);
    }
  });
  // 40-44.
  for (uint32_t& stamp : groupEventTimers_) io.Time(stamp);
  io.Bool(hazardFlash_);
  io.Bool(shieldHit_);
  io.Bool(homingToggle_);
  io.Int(countdownMs_);
  if (storing) {
    archive << countdownEvent_;
  } else {
    countdownEvent_ = SavedGameReadString(archive, kSavedGameMaxName);
  }
  // 45-48. The inventory kept between missions, its ammunition in the
  // file's order.
  ShipInventory& kept = g_ShipInventory;
  io.Bool(kept.laserUpgraded);
  io.Bool(kept.pulseLaserUpgraded);
  io.Bool(kept.homingToggle);
  int32_t ammo[10];
  InventoryAmmoSwapOrder(kept.ammo, ammo);
  io.Ints(ammo);
  InventoryAmmoSwapOrder(ammo, kept.ammo);
  io.Byte(kept.ownedMissiles);
  io.Byte(kept.ownedGuns);
  io.Byte(kept.selectedMissile);
  io.Byte(kept.selectedGun);
  io.Byte(kept.autocannonUpgrade);
  io.Byte(kept.cargoUnits);
  io.Float(kept.freon);
  io.Float(kept.shields);
  if (!storing) {
    RequireFinite({chaseOffset_.x, chaseOffset_.y, chaseOffset_.z, cameraVector2_.x, cameraVector2_.y,
                   cameraVector2_.z, hitFlash_, gunHeat_, freon_, explosionFlash_, kept.freon, kept.shields});
  }
}
