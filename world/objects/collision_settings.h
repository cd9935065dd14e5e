#pragma once
// The engine's collision settings (mode, ignored instance, instance checks,
// vertical scale, push-out) stay as they are set, so a dynamic object that changes
// them for its own queries holds one of these for the duration: it puts
// back what it found when it goes, and no later caller inherits another's
// settings.
#include "engine/collision.h"

class CollisionSettingsScope {
 public:
  CollisionSettingsScope()
      : mode_(g_CollideMode),
        ignored_(CollideIgnored()),
        instanceChecks_(CollideInstanceChecks()),
        verticalScale_(g_CollideVerticalScale),
        pushOut_(g_CollidePushOut) {}
  ~CollisionSettingsScope() {
    CollideSetMode(mode_);
    CollideSetIgnore(ignored_);
    CollideSetInstanceChecks(instanceChecks_);
    g_CollideVerticalScale = verticalScale_;
    g_CollidePushOut = pushOut_;
  }
  CollisionSettingsScope(const CollisionSettingsScope&) = delete;
  CollisionSettingsScope& operator=(const CollisionSettingsScope&) = delete;

 private:
  int mode_;
  Instance* ignored_;
  int instanceChecks_;
  float verticalScale_;
  int pushOut_;
};
