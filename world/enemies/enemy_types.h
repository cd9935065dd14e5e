#pragma once
// The enemy type tables: one row of parameters per enemy model, the weapon
// table the fire routines read, and the model names the level's enemy
// instances are recognised by.
#include <cstdint>

inline constexpr int kEnemyTypeCount = 40;
inline constexpr int kEnemyTypeNameBytes = 13;  // 12 characters and the NUL
inline constexpr int kEnemyWeaponCount = 13;

// Movement modes of the type rows.
inline constexpr int kMoveFree = 0;        // free three-dimensional motion
inline constexpr int kMoveStationary = 1;  // turrets: no translation
inline constexpr int kMoveGround = 2;      // on the ground, blocked by steps
inline constexpr int kMoveAltitude = 3;    // constant altitude
inline constexpr int kMoveSentry = 4;      // no mode-specific rule
inline constexpr int kMoveTerrain = 5;     // on the ground, follows drops and rises

// Types the code names.
inline constexpr int kKindTurret = 0;
inline constexpr int kKindTplt = 1;
inline constexpr int kKindTqlc = 3;
inline constexpr int kKindTtt = 4;
inline constexpr int kKindDw = 15;
inline constexpr int kKindTank = 18;
inline constexpr int kKindGb = 19;
inline constexpr int kKindManta = 22;
inline constexpr int kKindVardik = 23;
inline constexpr int kKindSentry = 24;
inline constexpr int kKindAc = 25;
inline constexpr int kKindDc = 26;
inline constexpr int kKindTankm = 28;
inline constexpr int kKindTtg = 29;
inline constexpr int kKindThunder = 30;
inline constexpr int kKindBoss = 31;
inline constexpr int kKindDgh = 32;
inline constexpr int kKindBossa = 33;
inline constexpr int kKindMtrrt = 34;
inline constexpr int kKindFboss = 35;
inline constexpr int kKindFboss4 = 37;
inline constexpr int kKindFboss5 = 38;
inline constexpr int kKindDrone2 = 39;

struct EnemyTypeParams {
  float attackRange;
  float detectRange;
  float speed;         // units per second
  float turnRate;      // radians per second
  float acceleration;  // units per second squared
  float leash;         // distance to an escorted enemy
  float hitPoints;
  float smokeBelow;  // smokes with fewer hit points than this
  float armour;      // damage not above it is ignored
  float ambient;     // the instance's own ambient level
  int32_t missiles;  // homing-missile ammunition
  int32_t mode;      // movement mode
  int32_t waypoints;  // manoeuvre waypoints the planner builds
};

struct EnemyWeapon {
  int32_t damage;
  int32_t intervalMs;
  float speed;
};

extern const char g_EnemyTypeNames[kEnemyTypeCount][kEnemyTypeNameBytes];
extern const EnemyTypeParams g_EnemyTypeParams[kEnemyTypeCount];
extern const EnemyWeapon g_EnemyWeapons[kEnemyWeaponCount];

// The models whose level instances the manager makes enemies of (37 names;
// "drugie.3ds", "ready.3ds" and "sentry.3ds" are types but not level
// enemies).
inline constexpr int kLevelEnemyModelCount = 37;
extern const char* const g_LevelEnemyModels[kLevelEnemyModelCount];

// The type of a model file name (any case), -1 when none. Null gives -1.
int EnemyTypeOfModel(const char* modelName);
// Whether level instances of this model are enemies.
bool IsLevelEnemyModel(const char* modelName);
// The row of a type; null outside 0..39.
const EnemyTypeParams* EnemyTypeRow(int type);
