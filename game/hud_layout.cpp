// The HUD's position table and the choice of layout.
#include "game/hud_layout.h"

#include "game/interface_manager.h"

namespace {

constexpr HudLayoutPositions kPositions[] = {
    // Cockpit
    {446, 382, 10, 68, true, {168, 410}, 69, 8, 20, true, true, {120, 405}, true, {315, 5}, 460, 382, 6, 12, {95, 405}},
    // Plain
    {520, 408, 10, 68, true, {80, 430}, 69, 2, 20, true, true, {35, 425}, true, {381, 2}, 564, 408, 6, 12, {2, 430}},
    // Large
    {656, 512, 15, 80, true, {100, 550}, 200, 8, 20, true, true, {45, 545}, true, {534, 8}, 700, 512, 6, 16, {5, 550}},
    // Small: no missile-ready, slot or ship pictures and no message log
    {267, 197, 5, 40, false, {0, 0}, 130, -24, 19, false, false, {0, 0}, false, {0, 0}, 275, 198, 5, 7, {1, 222}},
};

}  // namespace

const HudLayoutPositions& HudPositions(HudLayout layout) { return kPositions[static_cast<int>(layout)]; }

HudLayout HudLayoutFor(int resolution, bool cockpit) {
  if (resolution == 1) return HudLayout::Small;
  if (resolution == 2) return HudLayout::Large;
  return cockpit ? HudLayout::Cockpit : HudLayout::Plain;
}

HudLayout CurrentHudLayout() {
  if (!g_pInterface) return HudLayout::Plain;
  return HudLayoutFor(g_pInterface->GetResolution(), g_pInterface->IsCockpitShown());
}

bool IsHudCockpitOn() { return g_pInterface && g_pInterface->IsCockpitShown(); }
