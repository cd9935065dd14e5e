#include "media/cd_audio.h"

#include <cstdio>

#include "platform/mci.h"

namespace {
int g_CdVolumeDevice = -1;

int FindDeviceOf(WORD technology) {
  const UINT count = auxGetNumDevs();
  for (UINT device = 0; device < count; ++device) {
    AUXCAPSA caps;
    if (auxGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return -1;
    if (caps.wTechnology == technology) return static_cast<int>(device);
  }
  return -1;
}
}  // namespace

DWORD SendMciCommand(const char* command, HWND notifyWindow) {
  return mciSendStringA(command, nullptr, 0, notifyWindow);
}

bool OpenCdAudio(HWND window, int track) {
  SendMciCommand("close all", nullptr);
  if (SendMciCommand("open cdaudio alias MUSIC", window) != 0) return false;
  SendMciCommand("set MUSIC time format tmsf", nullptr);
  return PlayCdTrack(window, track);
}

bool PlayCdTrack(HWND window, int track) {
  char command[64];
  std::snprintf(command, sizeof command, "play MUSIC from %d to %d notify", track, track + 1);
  return SendMciCommand(command, window) == 0;
}

bool StopCdAudio() {
  SendMciCommand("stop MUSIC", nullptr);
  SendMciCommand("close all", nullptr);
  return true;
}

void FindCdVolumeDevice() {
  if (auxGetNumDevs() == 0) {
    g_CdVolumeDevice = -1;
    return;
  }
  g_CdVolumeDevice = FindDeviceOf(AUXCAPS_CDAUDIO);
  if (g_CdVolumeDevice < 0) g_CdVolumeDevice = FindDeviceOf(AUXCAPS_AUXIN);
}

int GetCdVolumeDevice() { return g_CdVolumeDevice; }

void SetCdVolume(float volume) {
  if (g_CdVolumeDevice < 0) return;
  if (volume < 0.0f) volume = 0.0f;
  if (volume > 1.0f) volume = 1.0f;
  const DWORD n = static_cast<DWORD>(volume * 65535.0f);
  auxSetVolume(static_cast<UINT>(g_CdVolumeDevice), n | n << 16);
}
