#pragma once
// What the sound manager needs of the game above it: where the local ship
// is (positional sounds are placed relative to it), the world whose groups
// saved sounds follow, and the player's sound setting. The application
// installs them at start-up; until then (tools, tests without a game)
// there is no ship, no world and sound is on.
struct World;

struct SoundListener {
  float x = 0, y = 0, z = 0;                 // the local ship's position
  float rightX = 1, rightY = 0, rightZ = 0;  // the first row of its orientation
};

struct SoundServices {
  // False while no document with a local ship exists: positional sounds
  // then play at their own volume, in the middle.
  bool (*listener)(SoundListener* out) = nullptr;
  World* (*world)() = nullptr;
  bool (*soundEnabled)() = nullptr;
};
void SoundSetServices(const SoundServices& services);
const SoundServices& SoundGetServices();
