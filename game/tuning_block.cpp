#include "game/tuning_block.h"

TuningBlock TuningBlockDefaults(bool networkGame) {
  return TuningBlock{
      240, 200, 250, 200, 100, 1800, 900, 1400, 5000, 1000, 1500, 10000,  // intervals
      networkGame ? 2.0f : 1.0f, 11.0f, 2.5f, 4.5f, 2.5f, 3.0f, 18.0f, 12.0f, 12.0f, 50.0f,  // damage
      900, 30, 2, 20, 16, 8, 6, 6, 8, 200,                                                    // capacities
      0.06f, 0.16f, 0.08f, 0.12f, 0.08f, 0.35f,                                               // heat per shot
      500, 80, 750, 300, 130, 250, 300,                                                       // speeds
  };
}
