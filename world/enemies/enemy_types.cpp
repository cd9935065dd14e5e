#include "world/enemies/enemy_types.h"

#include "platform/ascii.h"

const char g_EnemyTypeNames[kEnemyTypeCount][kEnemyTypeNameBytes] = {
    "turret.3ds",  "TPLT.3ds",   "TMSL.3ds",    "TQLC.3ds",    "ttt.3ds",     "drugie.3ds", "truck.3ds",
    "mole.3ds",    "scientst.3ds", "at.3ds",    "trans.3ds",   "convoy.3ds",  "drone.3ds",  "ship.3ds",
    "ready.3ds",   "dw.3ds",     "ss1.3ds",     "ss2.3ds",     "tank.3ds",    "gb.3ds",     "owl.3ds",
    "cyclone.3ds", "manta.3ds",  "vardik.3ds",  "sentry.3ds",  "ac.3ds",      "dc.3ds",     "striker.3ds",
    "tankm.3ds",   "ttg.3ds",    "thunder.3ds", "boss.3ds",    "dgh.3ds",     "bossa.3ds",  "mtrrt.3ds",
    "fboss.3ds",   "fboss2.3ds", "fboss4.3ds",  "fboss5.3ds",  "drone2.3ds",
};

const EnemyTypeParams g_EnemyTypeParams[kEnemyTypeCount] = {
    {450, 500, 0, 0.5f, 0, 0, 15, 5, 0, 0.6f, 0, 1, 5},
    {450, 500, 0, 0.7f, 0, 0, 60, 20, 3, 0.6f, 0, 1, 5},
    {450, 500, 0, 0.8f, 0, 0, 12, 4, 0, 0.6f, 0, 1, 5},
    {450, 500, 0, 0.8f, 0, 0, 18, 6, 0, 0.6f, 0, 1, 5},
    {450, 500, 0, 0.7f, 0, 0, 36, 12, 0, 0.6f, 0, 1, 5},
    {190, 200, 5, 0.5f, 0, 200, 4, 1.3333334f, 0, 1, 0, 2, 5},
    {0, 100, 10, 1.5f, 20, 10, 80, 26.666666f, 0, 1, 0, 0, 5},
    {0, 100, 10, 1.5f, 20, 10, 50, 16.666666f, 0, 1, 0, 0, 5},
    {0, 100, 10, 1.5f, 20, 10, 50, 16.666666f, 0, 1, 0, 0, 5},
    {0, 100, 30, 1, 20, 10, 40, 13.333333f, 0, 0.6f, 0, 0, 5},
    {0, 100, 40, 1, 20, 10, 60, 20, 0, 0.6f, 0, 0, 5},
    {0, 100, 40, 1, 20, 10, 60, 20, 0, 0.6f, 0, 0, 5},
    {200, 250, 30, 0.8f, 20, 250, 10, 3.3333333f, 0, 1, 0, 0, 5},
    {380, 400, 30, 0.8f, 20, 250, 25, 8.333333f, 0, 1, 0, 0, 5},
    {380, 400, 30, 0.8f, 20, 250, 25, 8.333333f, 0, 0.6f, 0, 0, 5},
    {200, 250, 90, 1.5f, 30, 250, 9, 3, 0, 0.6f, 4, 0, 2},
    {380, 400, 30, 1.5f, 20, 250, 25, 8.333333f, 0, 1, 0, 0, 5},
    {380, 400, 50, 1.1f, 20, 250, 54, 18, 2, 0.6f, 100000, 0, 5},
    {380, 400, 30, 0.9f, 20, 250, 69, 23, 5, 0.6f, 100000, 2, 5},
    {380, 400, 45, 0.8f, 20, 250, 33, 11, 2, 0.6f, 100000, 3, 5},
    {380, 400, 40, 1, 20, 250, 240, 80, 3, 0.6f, 100000, 0, 5},
    {380, 400, 65, 1.3f, 20, 250, 24, 8, 0, 0.6f, 100000, 0, 5},
    {220, 250, 90, 1.5f, 30, 250, 42, 14, 1, 0.6f, 100000, 0, 5},
    {380, 400, 60, 1, 20, 250, 320, 106.666664f, 3, 0.6f, 100000, 0, 5},
    {400, 450, 5, 0.5f, 20, 250, 10, 0, 0, 1, 100000, 4, 5},
    {350, 400, 60, 1.3f, 30, 250, 32, 10.666667f, 1, 0.6f, 100000, 0, 5},
    {350, 400, 25, 0.8f, 20, 250, 80, 26.666666f, 4, 0.6f, 100000, 0, 5},
    {350, 400, 15, 3, 20, 250, 80, 26.666666f, 3, 1, 100000, 0, 5},
    {350, 400, 30, 3.5f, 20, 250, 105, 35, 5, 1, 100000, 2, 5},
    {350, 400, 0, 0.7f, 20, 250, 27, 9, 1, 0.6f, 100000, 1, 5},
    {350, 400, 30, 3.5f, 20, 250, 69, 23, 5, 1, 100000, 5, 5},
    {600, 600, 0, 0.6f, 20, 250, 400, 133.33333f, 1, 0.6f, 100000, 1, 5},
    {200, 250, 70, 1.5f, 20, 250, 18, 6, 0, 0.6f, 4, 0, 3},
    {600, 600, 10, 0.9f, 10, 250, 400, 133.33333f, 1, 0.6f, 100000, 2, 2},
    {380, 400, 0, 0.8f, 0, 0, 100, 33.333332f, 5, 0.6f, 100000, 1, 0},
    {380, 400, 40, 1, 20, 250, 70, 23.333334f, 3, 0.6f, 100000, 0, 5},
    {380, 400, 40, 1, 20, 250, 70, 23.333334f, 3, 0.6f, 100000, 0, 5},
    {380, 400, 40, 1, 20, 250, 70, 23.333334f, 3, 0.6f, 100000, 0, 5},
    {380, 400, 40, 1, 20, 250, 350, 116.666664f, 3, 0.6f, 100000, 0, 5},
    {200, 250, 90, 1.5f, 30, 250, 12, 4, 0, 0.6f, 4, 0, 2},
};

const EnemyWeapon g_EnemyWeapons[kEnemyWeaponCount] = {
    {1, 200, 165},  {4, 300, 150},  {6, 300, 150},   {8, 400, 300},   {12, 400, 300},
    {15, 600, 185}, {15, 1500, 130}, {8, 2000, 110}, {50, 1250, 105}, {40, 5000, 105},
    {5, 1000, 105}, {1, 10000, 10000}, {1, 100, 100},
};

const char* const g_LevelEnemyModels[kLevelEnemyModelCount] = {
    "ship.3ds",    "turret.3ds", "tplt.3ds",   "tmsl.3ds",   "tqlc.3ds",    "ttt.3ds",     "truck.3ds",
    "mole.3ds",    "scientst.3ds", "at.3ds",   "convoy.3ds", "trans.3ds",   "drone.3ds",   "dw.3ds",
    "dgh.3ds",     "gb.3ds",     "ss1.3ds",    "ss2.3ds",    "owl.3ds",     "cyclone.3ds", "manta.3ds",
    "vardik.3ds",  "ac.3ds",     "dc.3ds",     "tankm.3ds",  "striker.3ds", "tank.3ds",    "ttg.3ds",
    "thunder.3ds", "boss.3ds",   "bossa.3ds",  "fboss.3ds",  "fboss2.3ds",  "fboss4.3ds",  "fboss5.3ds",
    "mtrrt.3ds",   "drone2.3ds",
};

int EnemyTypeOfModel(const char* modelName) {
  if (!modelName) return -1;
  for (int type = 0; type < kEnemyTypeCount; ++type) {
    if (AsciiCompareNoCase(g_EnemyTypeNames[type], modelName) == 0) return type;
  }
  return -1;
}

bool IsLevelEnemyModel(const char* modelName) {
  if (!modelName) return false;
  for (const char* name : g_LevelEnemyModels) {
    if (AsciiCompareNoCase(name, modelName) == 0) return true;
  }
  return false;
}

const EnemyTypeParams* EnemyTypeRow(int type) {
  return type >= 0 && type < kEnemyTypeCount ? &g_EnemyTypeParams[type] : nullptr;
}
