#pragma once
// The display: the program's window on the screen, and the boxes and beeps
// that reach the player outside the game's own drawing.
//
// Headless (platform/headless/): no window; a box or a beep is one line on
// stderr, and a box answers with its type's default button at once. SDL2
// (platform/sdl/): one window scaled to the desktop; boxes are SDL message
// boxes over it.
//
// Not here yet: display modes, surfaces, palettes, page flips and showing a
// frame. They come with the display stand-in the interface manager draws
// through, shaped by what it calls.
#include "platform/types.h"

class PlatformDisplay {
 public:
  virtual ~PlatformDisplay() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
  // Shows text under caption and waits for the player; returns the button
  // pressed (IDOK, IDCANCEL ...), or the type's default button when nobody
  // can press one. Main thread only.
  virtual int ShowMessageBox(const char* text, const char* caption, UINT type) = 0;
  // The system sound of a message type (MB_OK, MB_ICONHAND ...).
  virtual void Beep(UINT type) = 0;
};
