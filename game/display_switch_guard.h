#pragma once
// Keeps the game view from drawing while the display is being switched: for
// its lifetime the document's pause flag (CNetDoc::IsPaused) is set, and it
// is cleared at the end only if it was clear before, so guards nest. Without
// a document it does nothing.
#include <cstdint>

class DisplaySwitchGuard {
 public:
  DisplaySwitchGuard();
  ~DisplaySwitchGuard();
  DisplaySwitchGuard(const DisplaySwitchGuard&) = delete;
  DisplaySwitchGuard& operator=(const DisplaySwitchGuard&) = delete;

 private:
  uint8_t wasPaused_ = 0;
};
