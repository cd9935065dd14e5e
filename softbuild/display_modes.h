#pragma once
// korvanesw's display modes: the resolution index of the "ScreenRes" setting
// (0 640x480, the default, 1 320x240, 2 800x600; any other value 640x480)
// and the fallbacks when a mode is refused (800x600 -> 320x240 -> 640x480,
// and a refused 640x480 is fatal: source "dd", line 615).
struct ScreenModeSize {
  int width;
  int height;
};
ScreenModeSize ScreenModeSizeOf(int mode);
// The mode tried after mode was refused: 2 -> 1, 1 -> 0; -1 after 0 (and
// any other value): nothing smaller is left.
int ScreenModeFallback(int mode);
