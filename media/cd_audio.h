#pragma once
// CD audio: the music, played by track through the multimedia command
// strings with the device alias "MUSIC", and its loudness through the
// auxiliary volume of the CD-audio line (platform/mci.h). Which track plays
// is g_CdTrack (game/game_app.h); the interface window plays it again each
// time it has ended, so music repeats its track until stopped.
#include "platform/framework/win_types.h"

// mciSendStringA (command, no return text, notifyWindow); the error code.
DWORD SendMciCommand(const char* command, HWND notifyWindow);
// "close all", "open cdaudio alias MUSIC" (false when that fails), "set
// MUSIC time format tmsf", then PlayCdTrack.
bool OpenCdAudio(HWND window, int track);
// "play MUSIC from <track> to <track + 1> notify"; true when it succeeded.
bool PlayCdTrack(HWND window, int track);
// "stop MUSIC", "close all"; true.
bool StopCdAudio();
// The first auxiliary device that is the CD-audio line, else the first
// line input; -1 when none.
void FindCdVolumeDevice();
int GetCdVolumeDevice();
// v limited to 0..1; both channels get trunc(v x 65535). Nothing without a
// volume device.
void SetCdVolume(float volume);
