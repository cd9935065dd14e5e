#include "world/script/event_hooks.h"

#include "game/net_doc.h"

// Will play through g_pSoundManager (PlayNamedOnMover, or
// PlaySoundVolumeNamed at volume 0), with the loop flag for "soundloop".
void EventPlaySound(const char* /*name*/, PolygonGroup* /*group*/, bool /*loop*/) {}

// Will stop through g_pSoundManager (StopForMover, else StopByName).
void EventStopSound(const char* /*name*/, PolygonGroup* /*group*/) {}

// Will play the confirmation sound (PlayConfirm).
void EventBeep() {}

// Will play sound 4 at the local player's position.
void EventPlayDeathSound() {}

// Will play "rumble" looped at volume 0.
void EventPlayRumble() {}

void EventSpawnFireSphere(float x, float y, float z, float radius, int growMs) {
  if (g_pNetDoc) g_pNetDoc->SpawnFireSphere(0, x, y, z, radius, growMs);
}

// A homing missile from the ship at the enemy the text names, else a rocket.
void EventLaunchMissile(const char* text) {
  if (g_pNetDoc) g_pNetDoc->LaunchMissileFromTable(CString(text ? text : ""));
}
