#pragma once
// A sensor of the level script: raises its event when an actor comes within
// its radius. Built with the world simulation; until then only what the
// network receive loop calls is declared.
#include <cstdint>

class CSensor {
 public:
  // Takes the sensor's state from a 0x4D2C message whose length the caller
  // has checked: radius at offset 20; bit 0 of offset 17 disabled, bit 1
  // continuous.
  void RestoreState(const uint8_t* message);
};
