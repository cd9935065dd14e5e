#pragma once
// The demo set's animated effect frames, numbered by the effect's prefix:
//   "!exp_1" .. "!exp_12", "!4exp1" .. "!4exp12", "!2exp_1" .. "!2exp_12",
//   "!3exp_1" .. "!3exp_12" (explosions: fireballs that swell and burn out),
//   "!sht_1" .. "!sht_4" (bullet hits), "!grn_1" .. "!grn_4" (laser hits),
//   "!field1" .. "!field6" (force-field flashes), "!smok1" .. "!smok16" and
//   "!smkd1" .. "!smkd16" (rising smoke), "!smo0" .. "!smo7" (static smoke,
//   after the "!smok" frames so that its frame 0 is its own), "!gpulse1" ..
//   "!gpulse8" and "!dpulse1" .. "!dpulse8" (plasma balls, green and cyan),
//   "!VORTX1" .. "!VORTX8" (the vortex shield), "!STATIC1" .. "!STATIC6"
//   (the static shield and the uncloak sphere), "EMP1" .. "EMP8" (the
//   satellite strike's wall).
#include <vector>

#include "tools/builder/palette_builder.h"
#include "tools/builder/texture_writer.h"

void AddDemoEffectTextures(const BuilderPalette& palette, std::vector<BuilderTexture>* textures);
