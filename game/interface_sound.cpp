// The sound and music switches of the interface manager, and what the sound
// manager learns of the game through it.
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "media/cd_audio.h"
#include "media/sound_manager.h"
#include "media/sound_services.h"

namespace {

bool LocalShip(SoundListener* out) {
  CNetDoc* doc = g_pNetDoc;
  if (!doc || !doc->GetLocalPlayer()) return false;
  const float* m = doc->GetLocalPlayerObject();
  out->rightX = m[0];
  out->rightY = m[1];
  out->rightZ = m[2];
  out->x = m[12];
  out->y = m[13];
  out->z = m[14];
  return true;
}

World* CurrentWorld() { return g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr; }

bool SoundSwitch() { return !g_pInterface || g_pInterface->IsSoundEnabled(); }

HWND InterfaceWindow() {
  CInterfaceWnd* window = g_pInterface ? g_pInterface->GetWindow() : nullptr;
  return window ? window->m_hWnd : nullptr;
}

}  // namespace

void CInterface::InstallSoundServices() {
  SoundServices services;
  services.listener = LocalShip;
  services.world = CurrentWorld;
  services.soundEnabled = SoundSwitch;
  SoundSetServices(services);
}

void CInterface::ToggleSound() {
  soundOn_ = soundOn_ ? 0 : 1;
  if (!g_pSoundManager) return;
  if (soundOn_) {
    g_pSoundManager->Start(InterfaceWindow());
  } else {
    g_pSoundManager->Stop();
  }
}

void CInterface::SoundOn() {
  if (!soundOn_) ToggleSound();
}

void CInterface::SoundOff() {
  if (soundOn_) ToggleSound();
}

void CInterface::ToggleMusic() {
  musicOn_ = musicOn_ ? 0 : 1;
  if (!musicOn_) {
    StopCdAudio();
  } else if (g_pNetDoc && g_pNetDoc->IsGameRunning()) {
    StartMusic();
  }
}

void CInterface::MusicOn() {
  if (!musicOn_) ToggleMusic();
}

void CInterface::MusicOff() {
  if (musicOn_) ToggleMusic();
}

void CInterface::StartMusic() {
  if (musicOn_) OpenCdAudio(InterfaceWindow(), g_CdTrack);
}
