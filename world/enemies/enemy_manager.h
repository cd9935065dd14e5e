#pragma once
// The enemy manager of a running level (g_pEnemyManager, may be null): it
// keeps the enemies the level holds at the current difficulty, owns them and
// the satellite strikes (g_pSatellite), creates further enemies on request
// (script, cheat word, drone launchers, sentries), answers lookups and
// damage requests from weapons and effects, removes dead enemies with their
// death events and writes all of it into saved games. The level start makes
// it after the path manager; the document deletes it.
//
// Walks over the enemy list never hold a position across anything that can
// raise an event: an event may remove enemies, so such walks take the ids
// first and look each one up again.
#include <cstdint>
#include <vector>

#include "engine/records.h"
#include "platform/framework/ob_list.h"
#include "platform/framework/runtime_class.h"
#include "platform/types.h"

class CArchive;
class CNewEnemy;
struct EnemyOrderArguments;

inline constexpr int kBossSlots = 4;

class CEnemyAI : public CObject {
  DECLARE_DYNCREATE_CLASS(CEnemyAI)
 public:
  // Outside a network game: every level instance of an enemy model becomes
  // an enemy when its "level" property holds the difficulty's digit, and is
  // deleted otherwise; escorts are linked, the templates found and the
  // "drone2.3ds" drones paired; the satellite is made.
  CEnemyAI();
  // Deletes every enemy (no death events) and the satellite.
  ~CEnemyAI() override;
  CEnemyAI(const CEnemyAI&) = delete;
  CEnemyAI& operator=(const CEnemyAI&) = delete;

  // Stores or loads the enemies, the manager's counters, the boss slots and
  // the satellite. A load appends the enemies read; an enemy whose model
  // the level lacks is dropped, and a failed load keeps none of what it read.
  void Serialize(CArchive& archive) override;
  // One frame: every enemy's target, its group's decision and its motion;
  // then the satellite strikes, the boss sequence and the dead.
  void Update();
  // The four-part boss's stages (nothing unless all four parts live).
  void UpdateBoss();
  // The explosions of a dying enemy, which is marked dying.
  void ExplodeEnemy(CNewEnemy* enemy);
  // The dead that have landed explode and, after their delay, are removed
  // with their debris and death events (collected first: an event may remove
  // others); each counts as killed unless it is a sentry.
  void ProcessDead();

  // Wraps an instance of a type-table model in a new enemy (null for any
  // other model); owner 0 is the level's own.
  CNewEnemy* AddEnemy(DPID owner, Instance* instance);
  // "%s %f %f %f": a model name (".3ds" is appended) and a position; an
  // instance of that model there becomes an enemy, which is returned. Null
  // when the text does not hold a name and three numbers, the name is too
  // long or no loaded model has it.
  CNewEnemy* SpawnEnemy(DPID owner, const char* text);
  // A sentry turret ("sentry.3ds") at the point, pushed out of the level's
  // geometry; null when the level has no sentry model.
  CNewEnemy* SpawnSentry(DPID owner, float x, float y, float z);
  // Takes the enemy of the instance out of the list, raises its
  // "deathevent" (source: the instance's name) and deletes it.
  void RemoveEnemy(Instance* instance);

  // 1 when the instance is a live, shown enemy's, which takes the damage.
  // shooter is the instance that fired (null when unknown): a hit that kills
  // records whether it was the local player's ship.
  int DamageByInstance(Instance* instance, float damage, const Instance* shooter = nullptr);
  // Blast damage by each enemy's share of the blast.
  void AreaDamage(float x, float y, float z, float radius, float strength);
  // A vertical column's damage over a step (the energy pulse).
  void AreaDamageScaled(float x, float z, float radius, float damagePerSecond, int elapsedMs);

  // Lookups in list order, the first match or null.
  CNewEnemy* FindByInstance(const Instance* instance) const;
  CNewEnemy* FindByNamePrefix(const char* text) const;
  CNewEnemy* FindById(uint32_t low, uint32_t high) const;
  CNewEnemy* FindByKey(uint64_t id) const;
  CNewEnemy* FindHitByPoint(float x, float y, float z) const;
  CNewEnemy* NearestOfKind(int type, const CNewEnemy* enemy) const;
  int IsEnemy(const CNewEnemy* enemy) const;
  void ClearTargetRefs(CNewEnemy* enemy);

  // Every enemy through the script manager's actor test (its instance name
  // and radius); from the script manager's frame pass.
  void TestEnemiesAsActors();
  void TestActors() { TestEnemiesAsActors(); }
  void LinkTargets();
  void FindTemplates();
  void PairKind39();
  Model* GetSentryTemplate() const { return sentryTemplate_; }
  Model* GetDroneTemplate() const { return droneTemplate_; }
  CNewEnemy* GetBeacon() const;
  void SetBeacon(CNewEnemy* enemy);
  void ClearBeacon() { beaconId_ = 0; }
  CNewEnemy* GetBossPart(int slot) const;

  // The enemies counted for the mission (sentries not counted) and how many
  // of them were killed.
  void GetCounts(int* total, int* killed);
  // The enemy orders of the event language: TRUE when the piece named an
  // order and an enemy took it; in a network game every piece is accepted
  // without acting.
  BOOL ExecuteOrder(const char* piece, const char* source);

  int GetEnemyCount() const { return enemies_.GetCount(); }
  // The enemies in list order (a copy: safe across removals).
  std::vector<CNewEnemy*> Enemies() const;
  int32_t GetUpdateTime() const { return updateTime_; }

 private:
  void Decide(CNewEnemy* enemy, Vec3 target, int32_t now);
  // True when the three outer boss parts are at their destinations; the
  // first that is not, unless moving, resumes its leg.
  bool OuterPartsArrived(CNewEnemy* const* parts);
  // One order on one matching enemy: 0 when it failed.
  int CarryOutOrder(int code, CNewEnemy* enemy, const char* name, EnemyOrderArguments* args);

  CTypedPtrList<CObList, CNewEnemy*> enemies_;
  float unused_[3] = {};
  int32_t unusedInt_ = 0;
  int32_t updated_ = 0;
  int32_t updateTime_ = 0;
  Model* sentryTemplate_ = nullptr;
  Model* droneTemplate_ = nullptr;
  int32_t total_ = 0;
  int32_t killed_ = 0;
  uint64_t beaconId_ = 0;
  uint64_t bossIds_[kBossSlots] = {};
  float savedRadii_[kBossSlots] = {};
  int32_t bossTimer_ = 0;
};

extern CEnemyAI* g_pEnemyManager;

// Called with every spawn request as SpawnEnemy begins (null: nobody
// watches); tests and diagnostics see what was asked for.
using EnemySpawnObserver = void (*)(DPID owner, const char* text);
extern EnemySpawnObserver g_EnemySpawnObserver;
