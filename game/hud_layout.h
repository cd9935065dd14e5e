#pragma once
// Where the HUD's parts stand on the screen in each of its four layouts:
// 640x480 with the cockpit (Cockpit) and without it (Plain), 800x600
// (Large) and 320x240 (Small). korvane3d always uses Cockpit or Plain; the
// other two come with korvanesw's resolutions.

enum class HudLayout { Cockpit, Plain, Large, Small };

struct HudPoint {
  int x, y;
};

struct HudLayoutPositions {
  int gaugeX, gaugeY, gaugeWidth, gaugeHeight;  // the heat and Freon gauge
  bool missileReadyShown;
  HudPoint missileReady;
  int slotX, slotY, slotStep;  // the first weapon slot and the step to the next
  bool slotPicturesShown;
  bool shipStatusShown;
  HudPoint shipStatus;
  bool messageLogShown;
  HudPoint messageLog;
  int scoreX, scoreY, scoreLines, scoreWidth;  // width in characters
  HudPoint numbers;                            // shield and health
};

const HudLayoutPositions& HudPositions(HudLayout layout);

// The layout of a resolution index (0 640x480, 1 320x240, 2 800x600; any
// other counts as 0) with the cockpit shown or not.
HudLayout HudLayoutFor(int resolution, bool cockpit);

// The layout the interface is in now (Plain without an interface).
HudLayout CurrentHudLayout();
// The cockpit option is on (the interface shows the cockpit).
bool IsHudCockpitOn();
