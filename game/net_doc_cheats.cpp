// The typed words of single play: each word, when it ends the typed-word
// buffer exactly (upper case: the keys arrive as virtual-key codes), acts at
// once. Nothing in a network game.
#include <cstdio>
#include <cstring>

#include "engine/palette.h"
#include "game/app_services.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "media/sound_manager.h"
#include "platform/debug_output.h"
#include "world/enemies/enemy_manager.h"
#include "world/script/script_manager.h"

namespace {

enum class Word {
  None,
  GodMode,
  Radar,
  MusicTrack,
  AllWeapons,
  Heal,
  OpenDoors,
  Statistics,
  Collision,
  CounterUp,
  CounterDown,
  LightsOn,
  LightsOff,
  Hud,
  Enemy,
  Screenshot,
};

// In the order they are tried; the first that ends the buffer acts.
constexpr struct {
  const char* text;
  Word word;
} kWords[] = {
    {"TRUMX", Word::GodMode},    {"VEXLORN", Word::Radar},     {"GLOMBIT", Word::MusicTrack},
    {"ARMZULOP", Word::AllWeapons}, {"FENRUB", Word::Heal},    {"OPTLAKE", Word::OpenDoors},
    {"QUIMB", Word::Statistics}, {"NOWSOL", Word::Collision},  {"JYKO", Word::CounterUp},
    {"WEPO", Word::CounterDown}, {"BRAXI", Word::LightsOn},    {"BROXU", Word::LightsOff},
    {"HOLTEZ", Word::Hud},       {"MUNCHEL", Word::Enemy},     {"SNAPKOV", Word::Screenshot},
};

// The missile bits a new game owns (rockets, homing, micro, nuke, vortex,
// sentry).
constexpr uint8_t kAllMissiles = 0x6F;
constexpr uint8_t kAllGuns = 127;
constexpr int kGunLaser = 4;
constexpr int kGunPulseLaser = 8;

// Where the word stands: how many characters before the buffer's end it
// starts (2 more for the track word's digits); -1 when it doesn't match.
bool EndsWith(const CString& buffer, const char* word, int trailing) {
  const int length = static_cast<int>(std::strlen(word));
  const int at = buffer.GetLength() - length - trailing;
  return at >= 0 && std::strncmp(buffer.GetString() + at, word, static_cast<size_t>(length)) == 0;
}

void Confirm() {
  if (g_pSoundManager) g_pSoundManager->PlayConfirm();
}

}  // namespace

void CNetDoc::SetLaserUpgraded() { laserUpgraded_ = 1; }
void CNetDoc::SetPulseLaserUpgraded() { pulseLaserUpgraded_ = 1; }

void CNetDoc::CheckCheatWords() {
  if (IsNetworkGame() || g_TypedWordBuffer.IsEmpty()) return;
  Word word = Word::None;
  int track = 0;
  for (const auto& entry : kWords) {
    if (entry.word == Word::MusicTrack) {
      if (!EndsWith(g_TypedWordBuffer, entry.text, 2)) continue;
      const CString digits = g_TypedWordBuffer.Right(2);
      if (digits[0] < '0' || digits[0] > '9' || digits[1] < '0' || digits[1] > '9') continue;
      track = (digits[0] - '0') * 10 + (digits[1] - '0');
    } else if (!EndsWith(g_TypedWordBuffer, entry.text, 0)) {
      continue;
    }
    word = entry.word;
    break;
  }
  if (word == Word::None) return;
  // Whole-program runs read what a run did from these lines.
  OutputDebugString(CString("korvane: typed word ") + g_TypedWordBuffer + "\n");
  const int red = FindPaletteColour(255, 0, 0);
  switch (word) {
    case Word::None:
      return;
    case Word::GodMode:
      if (localPlayer_) localPlayer_->ToggleGodMode();
      break;
    case Word::Radar:
      if (view_) ToggleRadar();
      break;
    case Word::MusicTrack:
      if (track > 0) {
        g_CdTrack = track;
        if (g_pInterface) g_pInterface->StartMusic();
      }
      break;
    case Word::AllWeapons:
      GrantAllWeapons();
      break;
    case Word::Heal:
      if (localPlayer_) {
        localPlayer_->AddHealth(1000.0f);
        localPlayer_->AddShields(1000.0f);
      }
      AddMessage("Super heal...", red, FALSE);
      break;
    case Word::OpenDoors:
      if (g_pScriptManager) g_pScriptManager->OpenAllDoors();
      AddMessage("Opening all doors...", red, FALSE);
      Confirm();
      break;
    case Word::Statistics:
      Confirm();
      statsOverlay_ = statsOverlay_ ? 0 : 1;
      if (view_) view_->InvalidateHud();
      break;
    case Word::Collision:
      Confirm();
      AddMessage(shipCollision_ ? "No collision" : "Do collision", red, FALSE);
      shipCollision_ = shipCollision_ ? 0 : 1;
      break;
    case Word::CounterUp:
      ++typedCounter_;
      break;
    case Word::CounterDown:
      --typedCounter_;
      break;
    case Word::LightsOn:
    case Word::LightsOff:
      Confirm();
      if (viewer_) {
        if (word == Word::LightsOn) viewer_->flags |= kRenderLights;
        else viewer_->flags &= ~kRenderLights;
      }
      break;
    case Word::Hud:
      Confirm();
      hudOff_ = hudOff_ ? 0 : 1;
      if (view_) view_->InvalidateHud();
      break;
    case Word::Enemy:
      Confirm();
      if (g_pEnemyManager && localPlayer_) {
        float x = 0, y = 0, z = 0;
        localPlayer_->GetPosition(&x, &y, &z);
        char text[128];
        std::snprintf(text, sizeof text, "striker %f %f %f", x + 100.0f, y, z);
        g_pEnemyManager->SpawnEnemy(0, text);
      }
      break;
    case Word::Screenshot:
      if (view_) view_->RequestScreenshot();
      break;
  }
}

void CNetDoc::GrantAllWeapons() {
  const int red = FindPaletteColour(255, 0, 0);
  if (HasGun(kGunLaser) && !laserUpgraded_) {
    SetLaserUpgraded();
    AddMessage("Laser upgraded", red, FALSE);
  }
  if (HasGun(kGunPulseLaser) && !IsPulseLaserUpgraded()) {
    SetPulseLaserUpgraded();
    AddMessage("Pulse Laser upgraded", red, FALSE);
  }
  PickUpAutocannon();
  // Everything a new game owns and more; nothing owned is taken away.
  ownedMissiles_ |= kAllMissiles;
  ownedGuns_ |= kAllGuns;
  selectedMissile_ = 1;
  selectedGun_ = 1;
  if (cargoUnits_ < 2) ++cargoUnits_;
  const int c = cargoUnits_;
  const TuningBlock& t = tuning_;
  ammo_[kAmmoShells] = t.shellCapacity;
  ammo_[kAmmoPlasmaBolts] = t.plasmaBoltCapacity;
  ammo_[kAmmoSlugs] = t.slugCapacity;
  ammo_[kAmmoEnergyCells] = t.energyCellCapacity;
  ammo_[kAmmoNukes] = t.nukeCapacity * c;
  ammo_[kAmmoSentries] = t.sentryCapacity * c;
  ammo_[kAmmoVortexShields] = t.vortexShieldCapacity * c;
  ammo_[kAmmoRockets] = t.rocketCapacity * (c + 1);
  ammo_[kAmmoMicroMissiles] = t.microMissileCapacity * (c + 1);
  AddMessage("All weapons...", red, FALSE);
  Confirm();
  InvalidateHudPanels();
}
