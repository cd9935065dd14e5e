// The four-part boss: three outer parts fight until one of them is worn
// down, then all three retreat home out of reach, gather at the core, and
// hide while the core shows and bombs for 25 s; then everything heals and
// the outer parts fly home and fight again. Destroying the core ends it.
#include <cstdio>

#include "engine/instance.h"
#include "game/game_clock.h"
#include "platform/debug_output.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"

namespace {
constexpr int kOuterParts = 3;
constexpr int kCoreSlot = 3;
constexpr float kWornDown = 5.0f;
constexpr int32_t kRetreatMs = 2000;
constexpr int32_t kCoreShownMs = 25000;
// The first bomb falls 5000 ms into the core's stage (a bomb needs its
// stamp 20000 ms in the past).
constexpr int32_t kFirstBombBackdate = -15000;
// A part pushed by a wall stops near, not on, its destination.
constexpr float kArrivalToleranceSq = 1.0f;

enum Stage { kFighting = 2, kRetreat = 3, kGathering = 4, kCoreExposed = 5, kReturning = 6 };

bool Arrived(const CNewEnemy* part) {
  const Vec3 p = part->GetPosition(), d = part->GetDestination();
  const float dx = p.x - d.x, dy = p.y - d.y, dz = p.z - d.z;
  return dx * dx + dy * dy + dz * dz <= kArrivalToleranceSq;
}
}  // namespace

bool CEnemyAI::OuterPartsArrived(CNewEnemy* const* parts) {
  for (int i = 0; i < kOuterParts; ++i) {
    if (Arrived(parts[i])) continue;
    if (!parts[i]->IsMoving()) parts[i]->ResumeMove();
    return false;
  }
  return true;
}

void CEnemyAI::UpdateBoss() {
  CNewEnemy* parts[kBossSlots];
  for (int slot = 0; slot < kBossSlots; ++slot) {
    parts[slot] = GetBossPart(slot);
    if (!parts[slot]) return;
  }
  CNewEnemy* core = parts[kCoreSlot];
  const int32_t now = GetGameTime();
  const int stage = parts[0]->GetBossStage();
  switch (stage) {
    case kFighting: {
      bool worn = false;
      for (int i = 0; i < kOuterParts; ++i) worn = worn || parts[i]->GetHitPoints() < kWornDown;
      if (!worn) break;
      for (int i = 0; i < kOuterParts; ++i) {
        parts[i]->ClearWaypoints();
        parts[i]->SetBossStage(kRetreat);
        parts[i]->ReturnHome();
        Instance* instance = parts[i]->GetInstance();
        savedRadii_[i] = instance ? instance->radius : 0.0f;
        if (instance) instance->radius = 0.0f;
      }
      bossTimer_ = GameTimeAdd(now, kRetreatMs);
      break;
    }
    case kRetreat:
      if (GameTimeSince(bossTimer_, now) < 0) {
        for (int i = 0; i < kOuterParts; ++i) parts[i]->ReturnHome();
        return;
      }
      if (!OuterPartsArrived(parts)) return;
      for (int i = 0; i < kOuterParts; ++i) {
        parts[i]->SetBossStage(kGathering);
        parts[i]->MoveTo(core->GetX(), core->GetY(), core->GetZ(), 0.0f, false);
      }
      break;
    case kGathering:
      if (!OuterPartsArrived(parts)) return;
      for (CNewEnemy* part : parts) part->SetBossStage(kCoreExposed);
      core->SetBombTime(GameTimeAdd(now, kFirstBombBackdate));
      bossTimer_ = GameTimeAdd(now, kCoreShownMs);
      break;
    case kCoreExposed:
      if (GameTimeSince(bossTimer_, now) < 0) break;
      for (CNewEnemy* part : parts) {
        part->SetBossStage(kReturning);
        part->ResetHitPoints();
      }
      for (int i = 0; i < kOuterParts; ++i) parts[i]->ReturnHome();
      break;
    case kReturning:
      if (!OuterPartsArrived(parts)) return;
      for (int i = 0; i < kOuterParts; ++i) {
        parts[i]->SetBossStage(kFighting);
        if (Instance* instance = parts[i]->GetInstance()) instance->radius = savedRadii_[i];
      }
      break;
    default:
      break;
  }
  if (parts[0]->GetBossStage() != stage) {
    // Whole-program runs follow the fight by these lines.
    char line[64];
    std::snprintf(line, sizeof line, "korvane: boss stage %d\n", parts[0]->GetBossStage());
    OutputDebugString(line);
  }
  for (int i = 0; i < kOuterParts; ++i) {
    const bool shown = parts[i]->GetBossStage() != kCoreExposed;
    if (Instance* instance = parts[i]->GetInstance()) instance->collidable = shown ? 1 : 0;
    if (shown) {
      parts[i]->Start();
    } else {
      parts[i]->Stop();
    }
  }
  const bool coreShown = core->GetBossStage() == kCoreExposed;
  if (Instance* instance = core->GetInstance()) instance->collidable = coreShown ? 1 : 0;
  if (coreShown) {
    core->Start();
  } else {
    core->Stop();
  }
}
