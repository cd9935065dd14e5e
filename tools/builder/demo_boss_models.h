#pragma once
// The four-part boss of the third mission, in the game's model axes (+z
// forward, -y up), each centred on its origin:
//   "fboss.3ds", "fboss2.3ds", "fboss4.3ds"  the three outer parts (a
//       claw, a wedge and a ring), each armoured in its own colour
//   "fboss5.3ds"  the core: a glowing ball with spikes that spins and drops
//       bombs while the outer parts shelter it
// The names are the ones the enemy manager gives the boss slots.
#include <vector>

#include "tools/builder/model_writer.h"

inline constexpr const char* kDemoBossPartModels[3] = {"fboss.3ds", "fboss2.3ds", "fboss4.3ds"};
inline constexpr const char* kDemoBossCoreModel = "fboss5.3ds";

std::vector<BuilderModel> MakeDemoBossModels();
