#pragma once
// The enemy manager of a running level (g_pEnemyManager, may be null): it
// keeps the enemies the level holds at the current difficulty, owns them and
// the satellite strikes, and answers lookups and damage requests. The level
// start makes it after the path manager; the document deletes it.
//
// The enemies come with the world simulation; until then every operation
// here does nothing and answers the neutral value.
#include "platform/types.h"

class CArchive;
class CNewEnemy;

class CEnemyAI {
 public:
  // Will keep the enemy instances whose "level" property allows the current
  // difficulty, delete the others, make one enemy each and the satellite.
  CEnemyAI() = default;
  ~CEnemyAI() = default;
  CEnemyAI(const CEnemyAI&) = delete;
  CEnemyAI& operator=(const CEnemyAI&) = delete;

  // Stores or loads the enemies, their timers and the satellite.
  void Serialize(CArchive& archive);
  // One frame of every enemy.
  void Update();
  // Distance-scaled damage to every live visible enemy within the radius.
  void AreaDamage(float x, float y, float z, float radius, float damage);
  // The enemies counted for the mission (sentries not counted) and how many
  // of them were killed.
  void GetCounts(int* total, int* killed);
  // "%s %f %f %f": a model name (".3ds" is appended) and a position; an
  // instance of that model there becomes an enemy, which is returned (null
  // when the model is unknown).
  CNewEnemy* SpawnEnemy(DPID owner, const char* text);
  // The enemy orders of the event language: TRUE when the piece named an
  // order and an enemy took it; in a network game every piece is accepted
  // without acting.
  BOOL ExecuteOrder(const char* piece, const char* source);
  // Every enemy goes through the script manager's actor test (its instance
  // name and radius); from the script manager's frame pass.
  void TestEnemiesAsActors();
};

extern CEnemyAI* g_pEnemyManager;

// Called with every spawn request as SpawnEnemy begins (null: nobody
// watches); tests and diagnostics see what was asked for.
using EnemySpawnObserver = void (*)(DPID owner, const char* text);
extern EnemySpawnObserver g_EnemySpawnObserver;
