// Animated objects, level pick-ups, respawn points and spinning clocks:
// what the level start makes of the level's instances (looping keyframe
// animations, pick-up items, the network's respawn places) and the clock
// whose three hand groups show the computer's local time.
#include "world/document/level_objects.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/instance.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "platform/ascii.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "world/enemies/instance_placement.h"
#include "world/objects/object_manager.h"
#include "world/objects/supply.h"

namespace {

constexpr int kLineNoPickup = 2809;
constexpr int32_t kDefaultTotalFrames = 10;
constexpr const char* kClockHandNames[3] = {"spinning_clock_hh", "spinning_clock_mh", "spinning_clock_sh"};

bool HasModelFile(const Instance* instance, const char* fileName) {
  return instance->model && AsciiCompareNoCase(instance->model->name, fileName) == 0;
}

bool IsInWorld(const World* world, const Instance* instance) {
  for (const Instance* at = world ? world->firstInstance : nullptr; at; at = at->next) {
    if (at == instance) return true;
  }
  return false;
}

void AppendRecord(CPtrList& list, Instance* instance, float framesPerSecond, int32_t totalFrames) {
  list.AddTail(new AnimatedObject{instance, totalFrames, 0.0f, framesPerSecond, GetGameTime()});
}

}  // namespace

LocalTimeSource g_LocalTimeSource = nullptr;

bool IsKeptAnimatedInstance(const Instance* instance) {
  return instance && InstanceGetProperty(instance, "animated_object") &&
         InstanceGetProperty(instance, "static_object");
}

void CNetDoc::SetUpLevelObjects() {
  if (!world_) return;
  const bool network = IsNetworkGame();
  const bool makesPickups = !network || g_Net.IsHost();
  const int difficulty = g_pInterface ? g_pInterface->GetDifficulty() : (network ? 0 : 1);
  void* firstArrival = nullptr;
  // The players who were in the session when this program joined it.
  const int playersBefore = network ? static_cast<int>(g_Net.GetPlayerNames().size()) : 0;
  for (Instance* instance = world_->firstInstance; instance;) {
    // The instance may be deleted: step first.
    Instance* next = instance->next;
    if (InstanceGetProperty(instance, "animated_object")) AddLevelAnimation(instance);
    if (makesPickups && instance->model && FindPickupType(instance->model->name, nullptr, nullptr) >= 0) {
      const char* levels = InstanceGetProperty(instance, "level");
      if (levels && !std::strchr(levels, '0' + difficulty)) {
        RemoveAnimatedObject(instance);
        InstanceDelete(instance);
        instance = next;
        continue;
      }
      auto* supply = new (std::nothrow) CCommonSupply(0, NewObjectId(), instance, true);
      if (!supply) CGameApp::FatalError(kNetDocSource, kLineNoPickup);
      if (g_pObjectManager) {
        g_pObjectManager->AddObject(supply);
      } else {
        delete supply;
      }
    } else if (HasModelFile(instance, "respawn.3ds")) {
      InstanceApplyPlacement(instance);
      auto* matrix = new float[16];
      std::memcpy(matrix, instance->matrix, sizeof(Matrix));
      if (respawnPoints_.GetCount() == playersBefore) firstArrival = matrix;
      respawnPoints_.AddTail(matrix);
      RemoveAnimatedObject(instance);
      InstanceDelete(instance);
    }
    instance = next;
  }
  // With more players than points they share them in turn.
  if (network && !firstArrival && !respawnPoints_.IsEmpty()) {
    firstArrival = respawnPoints_.GetAt(respawnPoints_.FindIndex(playersBefore % respawnPoints_.GetCount()));
  }
  // Shuffled so that the network's respawns don't always start at the same
  // place: 2n times a random point moves to the end.
  const int n = respawnPoints_.GetCount();
  for (int i = 0; i < 2 * n && n > 1; ++i) {
    const int index = (n - 1) * CrtRand() / kCrtRandMax;
    POSITION at = respawnPoints_.FindIndex(index);
    if (!at) continue;
    void* point = respawnPoints_.GetAt(at);
    respawnPoints_.RemoveAt(at);
    respawnPoints_.AddTail(point);
  }
  // A ship that joins a network game appears at a point of its own: the
  // players already there took the points before it in the level's order
  // (the same in every program), so that it cannot appear on a ship that is
  // still at its own first point and telefrag it. Every program shuffles
  // alike when their random seeds agree (a lobby starting them in the same
  // second); the later respawns follow the shuffled order.
  if (firstArrival) {
    respawnPoints_.RemoveAt(respawnPoints_.Find(firstArrival));
    respawnPoints_.AddHead(firstArrival);
  }
}

void CNetDoc::AddLevelAnimation(Instance* instance) {
  const char* rate = instance ? InstanceGetProperty(instance, "animated_object") : nullptr;
  if (!rate) return;
  const char* frames = InstanceGetProperty(instance, "total_frames");
  AppendRecord(animatedObjects_, instance, static_cast<float>(std::atof(rate)),
               frames ? std::atoi(frames) : kDefaultTotalFrames);
}

void CNetDoc::AddAnimatedObject(Instance* instance) {
  if (!instance) return;
  int framesPerSecond = 15, totalFrames = 30;
  if (FindPickupType(instance->model ? instance->model->name : nullptr, &framesPerSecond, &totalFrames) >= 0 &&
      (framesPerSecond <= 0 || totalFrames <= 0)) {
    return;
  }
  AppendRecord(animatedObjects_, instance, static_cast<float>(framesPerSecond), totalFrames);
}

void CNetDoc::RemoveAnimatedObject(Instance* instance) {
  for (POSITION at = animatedObjects_.GetHeadPosition(); at;) {
    POSITION here = at;
    auto* record = static_cast<AnimatedObject*>(animatedObjects_.GetNext(at));
    if (record->instance != instance) continue;
    animatedObjects_.RemoveAt(here);
    delete record;
  }
}

void CNetDoc::UpdateAnimatedObjects() {
  const int32_t now = GetGameTime();
  for (POSITION at = animatedObjects_.GetHeadPosition(); at;) {
    POSITION here = at;
    auto* record = static_cast<AnimatedObject*>(animatedObjects_.GetNext(at));
    // The deleters drop their records first; one that was missed goes here
    // rather than being written through.
    if (!IsInWorld(world_, record->instance)) {
      animatedObjects_.RemoveAt(here);
      delete record;
      continue;
    }
    int32_t dt = GameTimeSince(record->lastUpdate, now);
    record->lastUpdate = now;
    if (dt < 0) dt = 0;
    if (dt > kAnimationStepLimitMs) dt = kAnimationStepLimitMs;
    record->frame += record->framesPerSecond * static_cast<float>(dt) * 0.001f;
    // The overshoot is dropped: the loop starts again at its first frame.
    if (!(static_cast<double>(record->frame) < static_cast<double>(record->totalFrames))) record->frame = 0.0f;
    Instance* instance = record->instance;
    InstanceSetPlacement(instance, instance->x, instance->y, instance->z, instance->angleX, instance->angleY,
                         instance->angleZ, record->frame);
  }
  HealFromObjects();
}

void CNetDoc::ReleaseLevelObjects() {
  while (!animatedObjects_.IsEmpty()) delete static_cast<AnimatedObject*>(animatedObjects_.RemoveHead());
  for (PolygonGroup*& hand : clockHands_) hand = nullptr;
}

void CNetDoc::FindSpinningClocks() {
  for (PolygonGroup*& hand : clockHands_) hand = nullptr;
  if (!world_) return;
  for (PolygonGroup* group = world_->firstGroup; group; group = group->next) {
    for (int hand = 0; hand < 3; ++hand) {
      if (!group->name || AsciiCompareNoCase(group->name, kClockHandNames[hand]) != 0) continue;
      clockHands_[hand] = group;
      // A turn angle of 0 is a full turn per unit of mover position.
      group->angle = 0.0f;
    }
  }
}

void CNetDoc::UpdateSpinningClocks() {
  if (!clockHands_[0] && !clockHands_[1] && !clockHands_[2]) return;
  std::tm local{};
  if (!(g_LocalTimeSource ? g_LocalTimeSource : &LocalTimeNow)(&local)) return;
  // The hour hand jumps once an hour.
  const float positions[3] = {static_cast<float>(local.tm_hour % 12) / 12.0f,
                              static_cast<float>(local.tm_min) / 60.0f, static_cast<float>(local.tm_sec) / 60.0f};
  for (int hand = 0; hand < 3; ++hand) {
    if (clockHands_[hand]) GroupSetMoverState(clockHands_[hand], positions[hand], 0.0f);
  }
}
