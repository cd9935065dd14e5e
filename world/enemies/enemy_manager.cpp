#include "platform/crt_random.h"
#include "world/enemies/enemy_manager.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>

#include "engine/collision.h"
#include "engine/instance.h"
#include "engine/model.h"
#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "platform/ascii.h"
#include "platform/framework/serial_archive.h"
#include "world/enemies/instance_placement.h"
#include "world/enemies/new_enemy.h"
#include "world/enemies/satellite.h"
#include "world/objects/collision_settings.h"
#include "world/script/event_manager.h"
#include "world/script/script_manager.h"

IMPLEMENT_DYNCREATE_CLASS(CEnemyAI, CObject)

CEnemyAI* g_pEnemyManager = nullptr;
EnemySpawnObserver g_EnemySpawnObserver = nullptr;

namespace {

constexpr const char* kBossModels[kBossSlots] = {"fboss.3ds", "fboss2.3ds", "fboss4.3ds", "fboss5.3ds"};
constexpr const char* kSentryModel = "sentry.3ds";
constexpr const char* kDroneModel = "dw.3ds";
constexpr const char* kRadarSensorModel = "radarsen.3ds";
constexpr float kNearestOfKindBound = 100000.0f;
// A spawned model's file name (the word and ".3ds") must fit this.
constexpr size_t kSpawnNameChars = 63;

const char* ModelNameOf(const Instance* instance) {
  return instance && instance->model ? instance->model->name : "";
}

bool IsSentryModel(const Instance* instance) { return AsciiCompareNoCase(ModelNameOf(instance), kSentryModel) == 0; }

World* CurrentWorld() {
  CNetDoc* doc = GetNetDoc();
  return doc ? doc->GetWorld() : nullptr;
}

int Difficulty() { return g_pInterface ? g_pInterface->GetDifficulty() : 1; }

// The enemy a saved reference named, by id (0 for none).
uint64_t IdOf(const CNewEnemy* enemy) { return enemy ? enemy->GetId() : 0; }

}  // namespace

CEnemyAI::CEnemyAI() {
  World* world = CurrentWorld();
  if (world && !IsNetworkGame()) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", Difficulty());
    for (Instance* instance = world->firstInstance; instance;) {
      // Taken first: the instance may be deleted below.
      Instance* next = instance->next;
      InstanceApplyPlacement(instance);
      const char* model = ModelNameOf(instance);
      if (!IsLevelEnemyModel(model)) {
        if (AsciiCompareNoCase(model, kRadarSensorModel) == 0) instance->radius = 0.0f;
        InstanceSetAmbient(instance, 1.0f);
      } else {
        const char* level = InstanceGetProperty(instance, "level");
        if (level && std::strstr(level, digits)) {
          AddEnemy(0, instance);
        } else {
          InstanceDelete(instance);
        }
      }
      instance = next;
    }
  }
  LinkTargets();
  delete g_pSatellite;
  g_pSatellite = new CSattelite;
  ReadSatelliteTiming();
  FindTemplates();
  PairKind39();
}

CEnemyAI::~CEnemyAI() {
  while (!enemies_.IsEmpty()) {
    CNewEnemy* enemy = enemies_.RemoveHead();
    // The whole list goes: no enemy is left to be told of another's end.
    enemy->SetQuietDelete();
    delete enemy;
  }
  delete g_pSatellite;
  g_pSatellite = nullptr;
}

std::vector<CNewEnemy*> CEnemyAI::Enemies() const {
  std::vector<CNewEnemy*> out;
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) out.push_back(enemies_.GetNext(pos));
  return out;
}

CNewEnemy* CEnemyAI::AddEnemy(DPID owner, Instance* instance) {
  if (!instance || EnemyTypeOfModel(ModelNameOf(instance)) < 0) return nullptr;
  auto* enemy = new CNewEnemy(instance);
  enemies_.AddTail(enemy);
  for (int slot = 0; slot < kBossSlots; ++slot) {
    if (AsciiCompareNoCase(ModelNameOf(instance), kBossModels[slot]) == 0) bossIds_[slot] = enemy->GetId();
  }
  enemy->SetOwner(owner);
  if (!IsSentryModel(instance)) ++total_;
  return enemy;
}

CNewEnemy* CEnemyAI::SpawnEnemy(DPID owner, const char* text) {
  if (g_EnemySpawnObserver) g_EnemySpawnObserver(owner, text);
  if (!text) return nullptr;
  char word[kSpawnNameChars + 1] = {};
  float x = 0, y = 0, z = 0;
  // Coordinates the text does not hold are not made up.
  if (std::sscanf(text, "%63s %f %f %f", word, &x, &y, &z) != 4) return nullptr;
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return nullptr;
  if (std::strlen(word) + 4 > kSpawnNameChars) return nullptr;
  const std::string name = std::string(word) + ".3ds";
  Model* model = FindModelByName(name.c_str());
  World* world = CurrentWorld();
  if (!model || !world || EnemyTypeOfModel(model->name) < 0) return nullptr;
  Instance* instance = InstanceCreate(world, model, x, y, z, 0.0f, 0.0f, 0.0f, 0.0f);
  return instance ? AddEnemy(owner, instance) : nullptr;
}

CNewEnemy* CEnemyAI::SpawnSentry(DPID owner, float x, float y, float z) {
  World* world = CurrentWorld();
  if (!sentryTemplate_ || !world) return nullptr;
  {
    CollisionSettingsScope settings;
    g_CollideVerticalScale = 1.0f;
    CollideSetIgnore(nullptr);
    WorldCollideSphere(world, &x, &y, &z, sentryTemplate_->radius);
  }
  Instance* instance = InstanceCreate(world, sentryTemplate_, x, y, z, 0.0f, 0.0f, 0.0f, 0.0f);
  return instance ? AddEnemy(owner, instance) : nullptr;
}

void CEnemyAI::RemoveEnemy(Instance* instance) {
  if (!instance) return;
  CNewEnemy* enemy = nullptr;
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) {
    const POSITION at = pos;
    CNewEnemy* candidate = enemies_.GetNext(pos);
    if (candidate->GetInstance() == instance) {
      enemy = candidate;
      enemies_.RemoveAt(at);
      break;
    }
  }
  if (!enemy) return;
  for (uint64_t& boss : bossIds_) {
    if (boss == enemy->GetId()) boss = 0;
  }
  const char* event = InstanceGetProperty(instance, "deathevent");
  const std::string text = event ? event : "";
  const std::string source = instance->name;
  // Out of the list first: orders the event raises no longer find it.
  if (g_pEventManager) g_pEventManager->RaiseEvent(text.c_str(), source.c_str());
  delete enemy;
}

int CEnemyAI::DamageByInstance(Instance* instance, float damage, const Instance* shooter) {
  CNewEnemy* enemy = FindByInstance(instance);
  if (!enemy || enemy->GetHitPoints() < 0.0f || !instance->collidable) return 0;
  enemy->TakeDamage(damage, damage, 0);
  if (enemy->GetHitPoints() < 0.0f) {
    const CNetDoc* doc = GetNetDoc();
    const bool ship = shooter && doc && shooter == doc->GetPlayerShip();
    enemy->SetKiller(ship ? EnemyKiller::Ship : EnemyKiller::OtherShot);
  }
  if (enemy->GetHitPoints() < 0.0f && enemy->GetMovementMode() == kMoveFree && (CrtRand() & 1) &&
      !enemy->IsStopped() && enemy->GetKind() != kKindManta) {
    enemy->StartFalling(0);
  }
  return 1;
}

void CEnemyAI::AreaDamage(float x, float y, float z, float radius, float strength) {
  for (CNewEnemy* enemy : Enemies()) {
    const Instance* instance = enemy->GetInstance();
    if (enemy->GetHitPoints() < 0.0f || !instance || !instance->collidable) continue;
    const float share = enemy->SplashFactor(x, y, z, radius, strength);
    if (enemy->TakeDamage(share, share, 0) >= 0.0f) continue;
    enemy->SetKiller(EnemyKiller::Blast);
    if (enemy->GetMovementMode() == kMoveFree && (CrtRand() & 1) && !enemy->IsStopped() &&
        enemy->GetKind() != kKindManta && enemy->GetKind() != kKindFboss5) {
      enemy->StartFalling(1);
    }
  }
}

void CEnemyAI::AreaDamageScaled(float x, float z, float radius, float damagePerSecond, int elapsedMs) {
  for (CNewEnemy* enemy : Enemies()) {
    const Instance* instance = enemy->GetInstance();
    if (enemy->GetHitPoints() < 0.0f || !instance || !instance->collidable) continue;
    const float damage = damagePerSecond * static_cast<float>(elapsedMs) * 0.001f;
    if (enemy->SplashDamage(x, z, radius, damage, damagePerSecond) >= 0.0f) continue;
    enemy->SetKiller(EnemyKiller::Blast);
    if (enemy->GetMovementMode() == kMoveFree && (CrtRand() & 1) && !enemy->IsStopped() &&
        enemy->GetKind() != kKindManta) {
      enemy->StartFalling(0);
    }
  }
}

CNewEnemy* CEnemyAI::FindByInstance(const Instance* instance) const {
  if (!instance) return nullptr;
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) {
    CNewEnemy* enemy = enemies_.GetNext(pos);
    if (enemy->GetInstance() == instance) return enemy;
  }
  return nullptr;
}

CNewEnemy* CEnemyAI::FindByNamePrefix(const char* text) const {
  if (!text) return nullptr;
  const size_t length = std::strlen(text);
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) {
    CNewEnemy* enemy = enemies_.GetNext(pos);
    const Instance* instance = enemy->GetInstance();
    if (instance && AsciiCompareNoCaseN(instance->name, text, length) == 0) return enemy;
  }
  return nullptr;
}

CNewEnemy* CEnemyAI::FindById(uint32_t low, uint32_t high) const {
  return FindByKey((static_cast<uint64_t>(high) << 32) | low);
}

CNewEnemy* CEnemyAI::FindByKey(uint64_t id) const {
  if (id == 0) return nullptr;
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) {
    CNewEnemy* enemy = enemies_.GetNext(pos);
    if (enemy->GetId() == id) return enemy;
  }
  return nullptr;
}

CNewEnemy* CEnemyAI::FindHitByPoint(float x, float y, float z) const {
  World* world = CurrentWorld();
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) {
    CNewEnemy* enemy = enemies_.GetNext(pos);
    const Instance* instance = enemy->GetInstance();
    if (enemy->GetKind() == kKindSentry || !instance || !instance->collidable) continue;
    const float r = enemy->GetDetectRange();
    const float dx = enemy->GetX() - x, dy = enemy->GetY() - y, dz = enemy->GetZ() - z;
    if (!(std::fabs(dx) < r && std::fabs(dy) < r && std::fabs(dz) < r)) continue;
    if (!(r * r > dx * dx + dy * dy + dz * dz)) continue;
    if (world && WorldSegmentBlocked(world, x, y, z, enemy->GetX(), enemy->GetY(), enemy->GetZ())) continue;
    return enemy;
  }
  return nullptr;
}

CNewEnemy* CEnemyAI::NearestOfKind(int type, const CNewEnemy* enemy) const {
  if (!enemy) return nullptr;
  CNewEnemy* best = nullptr;
  float bestDistance = kNearestOfKindBound;
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) {
    CNewEnemy* other = enemies_.GetNext(pos);
    if (other == enemy || other->GetKind() != type) continue;
    const float dx = other->GetX() - enemy->GetX(), dy = other->GetY() - enemy->GetY(),
                dz = other->GetZ() - enemy->GetZ();
    const float d = dx * dx + dy * dy + dz * dz;
    if (d < bestDistance) {
      bestDistance = d;
      best = other;
    }
  }
  return best;
}

int CEnemyAI::IsEnemy(const CNewEnemy* enemy) const {
  if (!enemy) return 0;
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) {
    if (enemies_.GetNext(pos) == enemy) return 1;
  }
  return 0;
}

void CEnemyAI::ClearTargetRefs(CNewEnemy* enemy) {
  if (!enemy) return;
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) {
    CNewEnemy* other = enemies_.GetNext(pos);
    if (other->GetAttackTargetId() == enemy->GetId()) other->ForgetOrderedTarget();
  }
}

void CEnemyAI::TestEnemiesAsActors() {
  if (!g_pScriptManager) return;
  // A sensor's event may remove enemies: each is looked up again by id.
  std::vector<uint64_t> ids;
  for (CNewEnemy* enemy : Enemies()) ids.push_back(enemy->GetId());
  for (uint64_t id : ids) {
    CNewEnemy* enemy = FindByKey(id);
    if (!enemy || !enemy->GetInstance() || !g_pScriptManager) continue;
    const Instance* instance = enemy->GetInstance();
    const std::string name = instance->name;
    g_pScriptManager->TestActor(enemy->GetX(), enemy->GetY(), enemy->GetZ(), instance->radius, name.c_str());
  }
}

void CEnemyAI::LinkTargets() {
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) {
    CNewEnemy* enemy = enemies_.GetNext(pos);
    if (enemy->GetEscortName()[0]) enemy->SetEscortTarget(FindByNamePrefix(enemy->GetEscortName()));
  }
}

void CEnemyAI::FindTemplates() {
  sentryTemplate_ = nullptr;
  droneTemplate_ = nullptr;
  for (Model* model = ModelListHead(); model; model = model->next) {
    if (!sentryTemplate_ && AsciiCompareNoCase(model->name, kSentryModel) == 0) sentryTemplate_ = model;
    if (!droneTemplate_ && AsciiCompareNoCase(model->name, kDroneModel) == 0) droneTemplate_ = model;
  }
}

void CEnemyAI::PairKind39() {
  for (POSITION pos = enemies_.GetHeadPosition(); pos;) {
    CNewEnemy* enemy = enemies_.GetNext(pos);
    if (enemy->GetKind() != kKindDrone2 || enemy->GetPairRole() != 0) continue;
    CNewEnemy* partner = NearestOfKind(kKindDrone2, enemy);
    if (!partner) continue;
    enemy->SetPairRole(1);
    partner->SetPairRole(2);
    enemy->SetPartner(partner);
    partner->SetPartner(enemy);
  }
}

CNewEnemy* CEnemyAI::GetBeacon() const { return FindByKey(beaconId_); }

void CEnemyAI::SetBeacon(CNewEnemy* enemy) { beaconId_ = IdOf(enemy); }

CNewEnemy* CEnemyAI::GetBossPart(int slot) const {
  return slot >= 0 && slot < kBossSlots ? FindByKey(bossIds_[slot]) : nullptr;
}

void CEnemyAI::GetCounts(int* total, int* killed) {
  if (total) *total = total_;
  if (killed) *killed = killed_;
}

void CEnemyAI::Serialize(CArchive& archive) {
  if (archive.IsStoring()) {
    enemies_.Serialize(archive);
    for (float v : unused_) archive << v;
    archive << unusedInt_ << updated_ << updateTime_;
    archive << static_cast<const CObject*>(GetBeacon());
    archive << total_ << killed_;
    for (int slot = 0; slot < kBossSlots; ++slot) {
      archive << static_cast<const CObject*>(GetBossPart(slot)) << savedRadii_[slot];
    }
    if (g_pSatellite) {
      g_pSatellite->SerializeState(archive);
    } else {
      CSattelite idle;
      idle.SerializeState(archive);
    }
    return;
  }
  const size_t before = archive.LoadedObjects().size();
  CTypedPtrList<CObList, CNewEnemy*> read;
  CNewEnemy* beacon = nullptr;
  CNewEnemy* bosses[kBossSlots] = {};
  try {
    read.Serialize(archive);
    for (float& v : unused_) archive >> v;
    archive >> unusedInt_ >> updated_ >> updateTime_;
    archive >> beacon;
    archive >> total_ >> killed_;
    for (int slot = 0; slot < kBossSlots; ++slot) archive >> bosses[slot] >> savedRadii_[slot];
    if (!g_pSatellite) g_pSatellite = new CSattelite;
    g_pSatellite->SerializeState(archive);
  } catch (...) {
    // A list that failed keeps nothing it read.
    const std::vector<CObject*> loaded = archive.LoadedObjects();
    for (size_t i = before; i < loaded.size(); ++i) {
      if (loaded[i] && loaded[i]->IsKindOf(RUNTIME_CLASS(CNewEnemy))) static_cast<CNewEnemy*>(loaded[i])->SetQuietDelete();
    }
    for (size_t i = before; i < loaded.size(); ++i) delete loaded[i];
    throw;
  }
  // Every enemy the records named, listed or not, turns its references
  // into ids while all of them still exist; then the list keeps the good
  // ones and the rest go.
  std::vector<CNewEnemy*> made;
  const std::vector<CObject*> loaded = archive.LoadedObjects();
  for (size_t i = before; i < loaded.size(); ++i) {
    if (loaded[i] && loaded[i]->IsKindOf(RUNTIME_CLASS(CNewEnemy))) made.push_back(static_cast<CNewEnemy*>(loaded[i]));
  }
  std::unordered_set<CNewEnemy*> good;
  for (CNewEnemy* enemy : made) {
    if (enemy->FinishLoading()) good.insert(enemy);
  }
  beaconId_ = good.count(beacon) ? IdOf(beacon) : 0;
  for (int slot = 0; slot < kBossSlots; ++slot) bossIds_[slot] = good.count(bosses[slot]) ? IdOf(bosses[slot]) : 0;
  std::unordered_set<CNewEnemy*> kept;
  for (POSITION pos = read.GetHeadPosition(); pos;) {
    CNewEnemy* enemy = read.GetNext(pos);
    if (enemy && good.count(enemy) && kept.insert(enemy).second) enemies_.AddTail(enemy);
  }
  for (CNewEnemy* enemy : made) {
    if (kept.count(enemy)) continue;
    enemy->SetQuietDelete();
    delete enemy;
  }
  FindTemplates();
}
