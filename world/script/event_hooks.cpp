#include "world/script/event_hooks.h"

#include "game/direct_player.h"
#include "game/net_doc.h"
#include "game/ship_sounds.h"
#include "media/sound_manager.h"
#include "platform/ascii.h"

void EventPlaySound(const char* name, PolygonGroup* group, bool loop) {
  if (!g_pSoundManager || !name || !*name) return;
  // A name the sound archive lacks would stay in the manager's list as a
  // loop that never starts (and be saved with the game): play nothing.
  if (!g_pSoundManager->GetBuffer(CString(name))) return;
  const int flags = loop ? kSoundLoop : 0;
  if (group) {
    g_pSoundManager->PlayNamedOnMover(CString(name), group, flags);
  } else {
    g_pSoundManager->PlaySoundVolumeNamed(CString(name), 0, flags);
  }
}

void EventStopSound(const char* name, PolygonGroup* group) {
  if (!g_pSoundManager) return;
  if (group) {
    g_pSoundManager->StopForMover(group);
  } else if (name && *name) {
    // The manager keeps every sound's name upper-cased and compares exactly;
    // the script writes names in any case ("soundstop rumble").
    g_pSoundManager->StopByName(CString(AsciiUpper(name).c_str()));
  }
}

void EventBeep() {
  if (g_pSoundManager) g_pSoundManager->PlayConfirm();
}

void EventPlayDeathSound() {
  CDirectPlayer* ship = g_pNetDoc ? g_pNetDoc->GetLocalPlayer() : nullptr;
  if (!g_pSoundManager || !ship) return;
  g_pSoundManager->PlaySoundAt(kSoundShipDestroyed, ship->GetX(), ship->GetY(), ship->GetZ(), 0);
}

void EventPlayRumble() {
  if (g_pSoundManager) g_pSoundManager->PlaySoundVolumeNamed("rumble", 0, kSoundLoop);
}

void EventSpawnFireSphere(float x, float y, float z, float radius, int growMs) {
  if (g_pNetDoc) g_pNetDoc->SpawnFireSphere(0, x, y, z, radius, growMs);
}

// A homing missile from the ship at the enemy the text names, else a rocket.
void EventLaunchMissile(const char* text) {
  if (g_pNetDoc) g_pNetDoc->LaunchMissileFromTable(CString(text ? text : ""));
}
