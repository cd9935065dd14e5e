#pragma once
// The enemy models of the second mission's gallery: one for every enemy type
// that the demo's own enemy meshes (tools/builder/demo_enemy_models.h) and
// the renamed guards of the second mission do not already give, made from
// those meshes repainted and resized, their nodes named as the enemy's type
// needs them (turret, gun and second gun parts). The four boss parts are the
// third mission's and are not among them.
//   guns        "TMSL.3ds", "TQLC.3ds" (twin barrels "barrel_up" and
//               "barrel_dn"), "ttt.3ds", "ttg.3ds", "mtrrt.3ds" ("base" and
//               "barrel1") and the big "boss.3ds" ("base" and "body")
//   ground      "drugie.3ds", "mole.3ds", "scientst.3ds", "at.3ds",
//               "trans.3ds", "convoy.3ds", "gb.3ds" ("platform" and "gunh"),
//               "tankm.3ds", "thunder.3ds" and the big "bossa.3ds"
//   fliers      "ship.3ds", "ready.3ds", "ss1.3ds", "ss2.3ds", "owl.3ds",
//               "cyclone.3ds", "manta.3ds", "dc.3ds", "dgh.3ds",
//               "drone2.3ds", and "vardik.3ds" and "ac.3ds" with a "turret"
#include <vector>

#include "tools/builder/model_writer.h"

std::vector<BuilderModel> MakeDemoGalleryModels();
