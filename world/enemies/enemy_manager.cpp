#include "world/enemies/enemy_manager.h"

#include "game/network_game.h"

CEnemyAI* g_pEnemyManager = nullptr;
EnemySpawnObserver g_EnemySpawnObserver = nullptr;

// Will write or read the enemies, their timers and the satellite.
void CEnemyAI::Serialize(CArchive& /*archive*/) {}

// Will decide, move, aim and fire for every enemy.
void CEnemyAI::Update() {}

// Will damage the enemies within the radius by their distance.
void CEnemyAI::AreaDamage(float /*x*/, float /*y*/, float /*z*/, float /*radius*/, float /*damage*/) {}

// Will give the mission's enemy count and kills.
void CEnemyAI::GetCounts(int* total, int* killed) {
  if (total) *total = 0;
  if (killed) *killed = 0;
}

// Will place the named model and make it an enemy.
CNewEnemy* CEnemyAI::SpawnEnemy(DPID owner, const char* text) {
  if (g_EnemySpawnObserver) g_EnemySpawnObserver(owner, text);
  return nullptr;
}

// Will look the order word up and carry it out on the named enemies.
BOOL CEnemyAI::ExecuteOrder(const char* /*piece*/, const char* /*source*/) { return IsNetworkGame() ? TRUE : FALSE; }

// Will hand every enemy to CScriptManager::TestActor.
void CEnemyAI::TestEnemiesAsActors() {}
