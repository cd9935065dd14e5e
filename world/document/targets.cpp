// Targets and line of sight: target keys and positions, the HUD's target
// list with its lock, the positions the radar, missiles and auto-aim walk,
// and the energy pulse's column damage.
#include <algorithm>
#include <cmath>
#include <new>

#include "engine/collision.h"
#include "engine/depth_cue.h"
#include "engine/palette.h"
#include "engine/view.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "media/sound_manager.h"
#include "render/screen_lines.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"

namespace {

constexpr int kSoundLock = 18;  // "lock2"
// With depth cueing off the view has no far distance to measure targets
// by; they are then taken up to this distance (a missile's range).
constexpr float kTargetRangeWithoutCue = 2000.0f;

uint32_t Now() { return static_cast<uint32_t>(GetGameTime()); }

bool IsEnemyKey(uint64_t key) { return static_cast<uint32_t>(key) != 0; }

}  // namespace

BOOL CNetDoc::GetTargetPosition(uint64_t key, float* x, float* y, float* z) {
  if (key == 0) return FALSE;
  if (IsEnemyKey(key)) {
    const CNewEnemy* enemy =
        g_pEnemyManager ? g_pEnemyManager->FindById(static_cast<uint32_t>(key), static_cast<uint32_t>(key >> 32))
                        : nullptr;
    if (!enemy || !enemy->GetInstance() || !enemy->GetInstance()->collidable) return FALSE;
    *x = enemy->GetX(), *y = enemy->GetY(), *z = enemy->GetZ();
    return TRUE;
  }
  CDirectPlayer* player = FindPlayer(static_cast<DPID>(key >> 32));
  if (!player) return FALSE;
  player->GetPosition(x, y, z);
  return TRUE;
}

bool CNetDoc::IsTargetGone(uint64_t key) const {
  if (IsEnemyKey(key)) {
    return !g_pEnemyManager ||
           !g_pEnemyManager->FindById(static_cast<uint32_t>(key), static_cast<uint32_t>(key >> 32));
  }
  return FindPlayer(static_cast<DPID>(key >> 32)) == nullptr;
}

BOOL CNetDoc::IsPointInSight(float x, float y, float z) {
  if (!viewer_ || !world_ || !localPlayer_) return FALSE;
  int sx = 0, sy = 0;
  if (!ProjectToScreen(viewer_, x, y, z, &sx, &sy)) return FALSE;
  // Both edges of the view count as inside.
  if (sx < 0 || sx > viewer_->width || sy < 0 || sy > viewer_->height) return FALSE;
  float px, py, pz;
  localPlayer_->GetPosition(&px, &py, &pz);
  return WorldSegmentBlocked(world_, px, py, pz, x, y, z) ? FALSE : TRUE;
}

BOOL CNetDoc::IsPlayerInSight(CDirectPlayer* player) {
  if (!player) return FALSE;
  float x, y, z;
  player->GetPosition(&x, &y, &z);
  return IsPointInSight(x, y, z);
}

float CNetDoc::DistanceToLocalShip(float x, float y, float z) {
  if (!localPlayer_) return 0.0f;
  float px, py, pz;
  localPlayer_->GetPosition(&px, &py, &pz);
  return std::sqrt((x - px) * (x - px) + (y - py) * (y - py) + (z - pz) * (z - pz));
}

void CNetDoc::DamagePlayersNear(float x, float z, float radius, float damagePerSecond, int dtMs) {
  const float amount = damagePerSecond * static_cast<float>(dtMs) * 0.001f;
  for (POSITION at = players_.GetStartPosition(); at;) {
    DPID id = 0;
    CDirectPlayer* player = nullptr;
    players_.GetNextAssoc(at, id, player);
    if (!player) continue;
    float px, py, pz;
    player->GetPosition(&px, &py, &pz);
    const float reach = radius + player->GetRadius();
    if ((px - x) * (px - x) + (pz - z) * (pz - z) < reach * reach) player->TakeDamage(amount, nullptr);
  }
}

void CNetDoc::UpdateTargetList() {
  const float cueFar = DepthCueFar();
  const float range = 0.9f * (cueFar > 0.0f ? cueFar : kTargetRangeWithoutCue);
  const float range2 = range * range;
  const bool homing = (selectedMissile_ & 1) && ammo_[kAmmoHoming] > 0;
  const bool satellite = (selectedMissile_ & 32) && HasGun(64);
  const bool active = localPlayer_ && !localPlayer_->IsDead() && !IsCustomCameraActive() && homingToggle_ &&
                      (homing || satellite);
  if (!active) {
    targetMap_.Clear();
    SetSelectedTarget(0);
    return;
  }
  for (uint64_t key : targetMap_.Keys()) {
    if (IsTargetGone(key)) targetMap_.Remove(key);
  }
  float sx, sy, sz;
  localPlayer_->GetPosition(&sx, &sy, &sz);
  for (POSITION at = players_.GetStartPosition(); at;) {
    DPID id = 0;
    CDirectPlayer* player = nullptr;
    players_.GetNextAssoc(at, id, player);
    if (!player || player == localPlayer_) continue;
    const uint64_t key = PlayerTargetKey(player);
    float px, py, pz;
    player->GetPosition(&px, &py, &pz);
    const float d2 = (px - sx) * (px - sx) + (py - sy) * (py - sy) + (pz - sz) * (pz - sz);
    const bool qualifies = !player->IsDead() && IsPlayerInSight(player) && d2 < range2;
    if (qualifies) {
      targetMap_.Add(key);
    } else {
      targetMap_.Remove(key);
    }
  }
  const uint64_t selected = GetSelectedTarget();
  if (selected && !targetMap_.Find(selected)) SetSelectedTarget(0);
  const std::vector<uint64_t> keys = targetMap_.Keys();
  if (GetSelectedTarget() == 0 && !keys.empty()) SetSelectedTarget(keys.front());
  const uint32_t now = Now();
  for (uint64_t key : keys) {
    CHudTarget* record = targetMap_.Find(key);
    if (key != GetSelectedTarget()) {
      record->ResetLockTimer();
      continue;
    }
    record->StartLockTimer(now);
    const bool locked = record->IsLocked(now);
    if (locked && !record->locked && g_pSoundManager) g_pSoundManager->PlaySoundVolume(kSoundLock, 0, 0);
    record->locked = locked;
    const int colour = locked                       ? FindPaletteColour(180, 255, 255)
                       : record->IsLockNear(now) ? FindPaletteColour(0, 0, 255)
                                                 : FindPaletteColour(0, 0, 150);
    DrawTargetMarker(key, colour);
  }
}

// The marker shrinks with distance between a 60- and a 16-pixel square;
// a target at the ship's own position (distance 0) takes the largest.
void CNetDoc::DrawTargetMarker(uint64_t key, int colour) {
  float x, y, z;
  if (!viewer_ || !GetTargetPosition(key, &x, &y, &z)) return;
  const float d = DistanceToLocalShip(x, y, z);
  const int a = d > 0.0f ? std::clamp(static_cast<int>(std::min(3000.0f / d, 1e6f)), 8, 30) : 30;
  const int b = d > 0.0f ? std::clamp(static_cast<int>(std::min(400.0f / d, 1e6f)), 2, 4) : 4;
  int X = 0, Y = 0;
  if (!ProjectToScreen(viewer_, x, y, z, &X, &Y)) return;
  View* v = viewer_;
  DrawLine2D(v, X - a - b, Y - a + b, X - a + b, Y - a - b, colour, 1);
  DrawLine2D(v, X + a - b, Y + a + b, X + a + b, Y + a - b, colour, 1);
  DrawLine2D(v, X + a + b, Y - a + b, X + a - b, Y - a - b, colour, 1);
  DrawLine2D(v, X - a - b, Y + a - b, X - a + b, Y + a + b, colour, 1);
  DrawLine2D(v, X - 2 * b, Y, X, Y - 2 * b, colour, 1);
  DrawLine2D(v, X, Y + 2 * b, X + 2 * b, Y, colour, 1);
  DrawLine2D(v, X + 2 * b, Y, X, Y - 2 * b, colour, 1);
  DrawLine2D(v, X - 2 * b, Y, X, Y + 2 * b, colour, 1);
}

void CNetDoc::SelectNextTarget() {
  const std::vector<uint64_t> keys = targetMap_.Keys();
  if (keys.size() < 2) return;
  const auto at = std::find(keys.begin(), keys.end(), GetSelectedTarget());
  if (at == keys.end()) return;
  SetSelectedTarget(at + 1 == keys.end() ? keys.front() : *(at + 1));
}

// Empties the list and fills it with {key, x, y, z} of every shown enemy
// (left out while it is busy chasing or manoeuvring and skipMarked is set)
// and of every live player but the excluded one (null: the local player).
// A player's key is its DPID in the high half, an enemy's its id.
void CNetDoc::CollectTargetPositions(CPtrList& list, CDirectPlayer* excluded, bool skipMarked) {
  while (!list.IsEmpty()) delete static_cast<TargetPosition*>(list.RemoveHead());
  if (g_pEnemyManager) {
    for (const CNewEnemy* enemy : g_pEnemyManager->Enemies()) {
      const Instance* instance = enemy->GetInstance();
      if (!instance || !instance->collidable || (skipMarked && enemy->IsBusy())) continue;
      auto* target = new (std::nothrow) TargetPosition{enemy->GetId(), enemy->GetX(), enemy->GetY(), enemy->GetZ()};
      if (target) list.AddTail(target);
    }
  }
  if (!excluded) excluded = localPlayer_;
  POSITION at = players_.GetStartPosition();
  while (at) {
    DPID id = 0;
    CDirectPlayer* player = nullptr;
    players_.GetNextAssoc(at, id, player);
    if (!player || player == excluded || player->IsDead()) continue;
    float x, y, z;
    player->GetPosition(&x, &y, &z);
    auto* target = new (std::nothrow) TargetPosition{PlayerTargetKey(player), x, y, z};
    if (target) list.AddTail(target);
  }
}
