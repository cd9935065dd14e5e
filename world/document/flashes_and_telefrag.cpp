// Messages, telefrag and the screen flashes: the level script's message
// lines, the telefrag of a ship that another one respawns on, the red hit
// flash of the local ship and the flash of a nearby explosion.
#include <cmath>
#include <cstdlib>

#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "media/sound_manager.h"
#include "world/script/event_hooks.h"

namespace {

constexpr float kHitFlashMax = 40.0f;
// 40 fades to 0 in three seconds.
constexpr float kHitFlashDecayPerSecond = 13.333333f;
// The explosion flash peaks this long after the blast and fades by half a
// unit a second on either side of the peak.
constexpr int kExplosionFlashPeakMs = 200;
constexpr float kExplosionFlashFadePerMs = 0.0005f;
constexpr float kExplosionFlashFloor = 0.01f;
// A respawn this close to the ship, in ship radii, kills it.
constexpr float kTelefragRadii = 1.8f;
// The message log's colour of the script's lines.
constexpr int kScriptMessageColour = 239;
// Sound flags of a spoken message: the other sounds duck under it.
constexpr int kSpokenMessageFlags = 4;

}  // namespace

float CNetDoc::GetExplosionFlash() {
  const int32_t sinceBlast = static_cast<int32_t>(static_cast<uint32_t>(GetGameTime()) - explosionFlashTime_);
  const float f = explosionFlash_ - static_cast<float>(std::abs(sinceBlast - kExplosionFlashPeakMs)) *
                                        kExplosionFlashFadePerMs;
  return f < kExplosionFlashFloor ? 0.0f : f;
}

void CNetDoc::DecayHitFlash() {
  const uint32_t now = static_cast<uint32_t>(GetGameTime());
  const uint32_t dt = now - hitFlashDecayTime_;
  hitFlashDecayTime_ = now;
  if (now == 0) return;
  hitFlash_ -= static_cast<float>(dt) * 0.001f * kHitFlashDecayPerSecond;
  if (hitFlash_ < 0.0f) hitFlash_ = 0.0f;
}

void CNetDoc::AddHitFlash(float amount) {
  hitFlash_ += amount;
  if (hitFlash_ > kHitFlashMax) hitFlash_ = kHitFlashMax;
}

void CNetDoc::CheckTelefrag(float x, float y, float z) {
  CDirectPlayer* player = localPlayer_;
  if (!player || player->IsDead()) return;
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return;
  const float dx = player->GetX() - x, dy = player->GetY() - y, dz = player->GetZ() - z;
  // The distance itself against 1.8 radii: a ship within that reach of the
  // respawn point is in the way of the new one.
  if (std::sqrt(dx * dx + dy * dy + dz * dz) >= kTelefragRadii * player->GetRadius()) return;
  player->Die();
  OnPlayerKilled(player, nullptr);
  AddMessage("You've been telefragged!", -1, FALSE);
}

void CNetDoc::ShowScriptMessage(const CString& key) {
  CString upper = key;
  upper.MakeUpper();
  CString text;
  if (!LookupText(upper, text)) text = CString("message ") + upper + " not found";
  AddMessage(text, kScriptMessageColour, FALSE);
  if (!g_pSoundManager) return;
  if (!upper.IsEmpty() && upper[0] == 'M') {
    g_pSoundManager->PlaySoundVolumeNamed(upper, 0, kSpokenMessageFlags);
  } else {
    g_pSoundManager->PlayNotify();
  }
}

void EventShowLevelMessage(const char* key) {
  if (g_pNetDoc) g_pNetDoc->ShowScriptMessage(key);
}
