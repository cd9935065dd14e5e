#pragma once
// The ship's sounds, by the sound archive's ids. Volumes are in hundredths
// of a decibel, 0 full. They go to the sound manager once it plays sounds;
// an observer (tests) sees every request.
enum ShipSound {
  kSoundShipDestroyed = 4,
  kSoundRecharge = 21,
  kSoundArmourRepair = 22,
  kSoundRadiation = 24,
  kSoundElectric = 25,
  kSoundThud = 26,
  kSoundShieldDamage = 29,
  kSoundArmourDamage = 30,
  kSoundLava = 39,
  kSoundConfirm = -1,  // the menus' confirm sound
};

void PlayShipSound(int sound, int volume = 0);
// At a point of the level (3-D sound).
void PlayShipSoundAt(int sound, float x, float y, float z);

using ShipSoundObserver = void (*)(int sound, int volume);
extern ShipSoundObserver g_ShipSoundObserver;
