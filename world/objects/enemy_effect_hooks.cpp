#include "world/objects/enemy_effect_hooks.h"

EnemyEffectHooks g_EnemyEffectHooks;
