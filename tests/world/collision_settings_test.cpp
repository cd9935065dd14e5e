// An object that changes the engine's sticky collision settings for its own
// queries gives them back, so the next caller does not inherit them.
#include <gtest/gtest.h>

#include "engine/collision.h"
#include "world/objects/collision_settings.h"

namespace {

TEST(CollisionSettingsScopeTest, PutsBackWhatItFound) {
  Instance* ship = reinterpret_cast<Instance*>(0x1000);
  Instance* other = reinterpret_cast<Instance*>(0x2000);
  CollideSetMode(1);
  CollideSetIgnore(ship);
  CollideSetInstanceChecks(0);
  g_CollideVerticalScale = 0.25f;
  g_CollidePushOut = 1;
  {
    CollisionSettingsScope scope;
    CollideSetMode(2);
    CollideSetIgnore(other);
    CollideSetInstanceChecks(1);
    g_CollideVerticalScale = 1.2f;
    g_CollidePushOut = 0;
    EXPECT_EQ(g_CollideMode, 2);
  }
  EXPECT_EQ(g_CollideMode, 1);
  EXPECT_EQ(CollideIgnored(), ship);
  EXPECT_EQ(CollideInstanceChecks(), 0);
  EXPECT_FLOAT_EQ(g_CollideVerticalScale, 0.25f);
  EXPECT_EQ(g_CollidePushOut, 1);
  CollideSetMode(0);
  CollideSetIgnore(nullptr);
}

}  // namespace
