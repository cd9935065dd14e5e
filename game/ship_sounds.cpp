// The sound manager plays nothing yet; the requests are only shown to an
// observer until it does.
#include "game/ship_sounds.h"

ShipSoundObserver g_ShipSoundObserver = nullptr;

void PlayShipSound(int sound, int volume) {
  if (g_ShipSoundObserver) g_ShipSoundObserver(sound, volume);
}

void PlayShipSoundAt(int sound, float /*x*/, float /*y*/, float /*z*/) {
  if (g_ShipSoundObserver) g_ShipSoundObserver(sound, 0);
}
