// The ship's shields and health: damage of every kind drains the shields
// first, then the health; a ship without health dies, breaks up, drifts or
// falls and explodes. Only the ship this program flies takes damage here;
// other ships report theirs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/instance.h"
#include "engine/matrix.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "game/ship_controls.h"
#include "game/ship_sounds.h"
#include "platform/crt_random.h"
#include "platform/debug_output.h"
#include "world/script/event_manager.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kMaxPush = 270.0f;
constexpr int kShortDeathMs = 1000;
constexpr int kLongDeathMs = 10000;
constexpr int kMissionFailedDelayMs = 1000;

}  // namespace

float CDirectPlayer::GetMaxShields() const {
  return IsNetworkGame() ? kShipMaxShieldsNetwork : kShipMaxShieldsSingle;
}

void CDirectPlayer::AddHealth(float amount) {
  if (health_ < kShipMaxHealth) PlayShipSound(kSoundArmourRepair);
  health_ = std::min(health_ + amount, kShipMaxHealth);
}

void CDirectPlayer::AddShields(float amount) {
  const float max = GetMaxShields();
  if (shields_ < max) PlayShipSound(kSoundRecharge);
  shields_ = std::min(shields_ + amount, max);
}

bool CDirectPlayer::IsInvulnerable() const {
  if (dead_ || godMode_) return true;
  if (g_pNetDoc && (g_pNetDoc->IsInvulnerable() || g_pNetDoc->IsScriptCameraActive())) return true;
  return !g_NextMissionArchive.IsEmpty();
}

void CDirectPlayer::CheckDeath() {
  if (shields_ < 0.0f) {
    health_ += shields_;
    shields_ = 0.0f;
  }
  if (!dead_ && local_ && static_cast<int>(health_) <= 0) Die();
}

void CDirectPlayer::TakeHit(float amount) {
  if (!local_ || IsInvulnerable()) return;
  PlayShipSound(kSoundRadiation);
  shields_ -= amount;
  CheckDeath();
  if (dead_ && g_pNetDoc) g_pNetDoc->OnPlayerKilled(this, nullptr);
}

void CDirectPlayer::TakeZoneDamage(float amount) {
  if (!local_ || IsInvulnerable()) return;
  PlayShipSound(kSoundLava);
  shields_ -= amount;
  CheckDeath();
  if (dead_ && g_pNetDoc) g_pNetDoc->OnPlayerKilled(this, nullptr);
}

void CDirectPlayer::TakeDamage(float amount, CDirectPlayer* source) {
  if (!local_) return;
  PlayShipSound(kSoundElectric);
  if (g_pNetDoc) {
    g_pNetDoc->RaiseShake(static_cast<int>(amount * 10.0f));
    g_pNetDoc->SetElectricDamage(true);
    g_pNetDoc->SpawnStaticShield(0);
  }
  if (IsInvulnerable()) return;
  shields_ -= amount;
  if (g_pNetDoc) g_pNetDoc->AddHitFlash(amount);
  CheckDeath();
  if (dead_ && g_pNetDoc) g_pNetDoc->OnPlayerKilled(this, source);
}

void CDirectPlayer::TakeDamageFrom(float amount, CDirectPlayer* source) {
  if (!local_ || IsInvulnerable()) return;
  shields_ -= amount;
  if (amount > 1.0f) {
    const float volume = std::min(0.0f, (amount / ((GetMaxShields() + kShipMaxHealth) * 0.2f) - 1.0f) * 800.0f);
    PlayShipSound(shields_ > 0.0f ? kSoundShieldDamage : kSoundArmourDamage, static_cast<int>(volume));
    // Whole-program runs read the hits the player hears.
    char line[96];
    std::snprintf(line, sizeof line, "korvane: the ship takes %.0f damage: shields %.0f\n", amount, shields_);
    OutputDebugString(line);
  }
  if (g_pNetDoc) g_pNetDoc->AddHitFlash(amount);
  CheckDeath();
  if (dead_ && g_pNetDoc) g_pNetDoc->OnPlayerKilled(this, source);
}

void CDirectPlayer::ExplosionDamage(float x, float y, float z, float radius, float strength, CDirectPlayer* source) {
  if (!local_) return;
  const float d[3] = {GetX() - x, GetY() - y, GetZ() - z};
  const float distanceSq = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
  const float gap = std::sqrt(distanceSq) - state_.radius;
  float depth = gap < 0.0f ? radius : gap < radius ? radius - gap : 0.0f;
  if (depth < 0.001f) return;
  if (g_pNetDoc) g_pNetDoc->RaiseShake(static_cast<int>(depth * 30.0f));
  TakeDamageFrom(strength * 0.1f * depth, source);
  // Only the push is limited: the damage above took the whole depth.
  depth = std::min(depth, GetMaxShields() + kShipMaxHealth);
  if (!g_pNetDoc || g_pNetDoc->GetLocalPlayer() != this || distanceSq <= 0.00001f) return;
  const float length = std::sqrt(distanceSq);
  float push = depth * depth * 1.5f;
  push = std::min(push, kMaxPush);
  for (int i = 0; i < 3; ++i) state_.velocity[i] += d[i] / length * push;
}

void CDirectPlayer::Die() {
  PlayShipSoundAt(kSoundShipDestroyed, GetX(), GetY(), GetZ());
  Kill();
  if (!IsNetworkGame() && g_pEventManager) {
    g_pEventManager->ClearTimedEvents();
    g_pEventManager->AddTimedEvent(kMissionFailedDelayMs, "event_mission_failed");
  }
  health_ = 0.0f;
  shields_ = 0.0f;
}

void CDirectPlayer::Kill() {
  if (!local_) return;
  dead_ = 1;
  smokeTime_ = 0;
  if (g_pNetDoc) {
    if (!g_pNetDoc->IsExternalView()) g_pNetDoc->ToggleChaseCamera();
    g_pNetDoc->RaiseShakeTo(1000);
    g_pNetDoc->SpawnExplosion(0, GetX(), GetY(), GetZ(), state_.radius * 1.2f, 10.0f, true, false, 0,
                              static_cast<uint32_t>(-1));
  }
  exploded_ = 0;
  if (static_cast<int>(RandomFloat(std::abs(health_))) < 4) {
    longDeath_ = 1;
    countdown_ = kLongDeathMs;
  } else {
    longDeath_ = 0;
    countdown_ = kShortDeathMs;
  }
}

void CDirectPlayer::Explode() {
  CNetDoc* doc = g_pNetDoc;
  if (doc && doc->GetPlayerShip()) doc->GetPlayerShip()->collidable = 0;
  state_.flags &= ~kPlayerStateShown;
  longDeath_ = 0;
  if (doc) {
    doc->SpawnExplosion(0, GetX(), GetY(), GetZ(), state_.radius * 1.2f, 10.0f, true, false, 0,
                        static_cast<uint32_t>(-1));
    Instance* ship = doc->GetPlayerShip();
    doc->SpawnDebris(0, GetX(), GetY(), GetZ(), "HERO", ship ? ship->matrix : nullptr, true);
    if (IsNetworkGame()) doc->SpawnBackPack(0, GetX(), GetY(), GetZ());
  }
  countdown_ = -1;
  exploded_ = 1;
}

void CDirectPlayer::ApplyShake(float factor) {
  const float* m = state_.matrix;
  float s = g_pNetDoc ? std::min(g_pNetDoc->GetShakeAmount(), 2.0f) : 0.0f;
  const float across = state_.velocity[0] * m[0] + state_.velocity[1] * m[1] + state_.velocity[2] * m[2];
  bank_ = (state_.angularVelocity[1] - across * 0.15f) * 0.008f;
  const float x = GetX(), y = GetY(), z = GetZ();
  MatrixTranslate(-x, -y, -z);
  MatrixRotateAxis(m[8], m[9], m[10], factor * bank_);
  // The shake turns the view about the ship too: about the world's origin
  // it would throw a camera far from the origin across the level.
  if (s > 0.001f) {
    for (void (*rotate)(float) : {MatrixRotateX, MatrixRotateY, MatrixRotateZ}) {
      const float random = 1.0f - 2.0f * static_cast<float>(CrtRand()) / static_cast<float>(kCrtRandMax);
      rotate(random * kPi * s * 0.016f);
    }
  }
  MatrixTranslate(x, y, z);
}

void CDirectPlayer::ToggleGodMode() {
  godMode_ = godMode_ ? 0 : 1;
  if (g_pNetDoc) {
    g_pNetDoc->AddMessage(godMode_ ? "Entering God Mode" : "Exiting God Mode", NearestPaletteIndex(255, 0, 0), FALSE);
  }
  PlayShipSound(kSoundConfirm);
}
