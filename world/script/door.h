#pragma once
// A door of the level script: a polygon group that slides or turns open and
// shut. Built with the world simulation; until then only what the network
// receive loop calls is declared.
#include <cstdint>

class CDoor {
 public:
  // Takes the door's state from a 0x4D2D message whose length the caller
  // has checked: radius at offset 20, view radius 24, kind byte 28, counter
  // 32, state bits 36.
  void RestoreState(const uint8_t* message);
};
