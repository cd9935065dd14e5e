#pragma once
// The multimedia command strings and auxiliary volume, as far as CD audio
// uses them, on the back end's music (platform/music.h). One device, the
// CD audio, opened under an alias:
//   "close all"                        stops and closes it
//   "open cdaudio alias NAME"          fails when no music folder is found
//   "set NAME time format tmsf"        accepted (tracks are numbers)
//   "play NAME from A to B [notify]"   plays track A to its end (B is where
//                                      the disc would go on; a last track
//                                      plays though no track B exists); with
//                                      notify, MM_MCINOTIFY with
//                                      MCI_NOTIFY_SUCCESSFUL reaches the
//                                      window when it has ended
//   "stop NAME"                        stops, without a notification
// Words are matched without regard to case. The one auxiliary device is the
// CD-audio line, whose volume is the music's.
#include <cstdint>

#include "platform/framework/win_types.h"

using MCIERROR = DWORD;
using MMRESULT = UINT;

inline constexpr DWORD MCI_NOTIFY_SUCCESSFUL = 0x0001;
inline constexpr DWORD MCI_NOTIFY_SUPERSEDED = 0x0002;
inline constexpr DWORD MCI_NOTIFY_ABORTED = 0x0004;
inline constexpr DWORD MCI_NOTIFY_FAILURE = 0x0008;

inline constexpr MCIERROR MCIERR_BASE = 256;
inline constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = MCIERR_BASE + 7;
inline constexpr MCIERROR MCIERR_DEVICE_NOT_READY = MCIERR_BASE + 20;
inline constexpr MCIERROR MCIERR_OUTOFRANGE = MCIERR_BASE + 26;
inline constexpr MCIERROR MCIERR_MISSING_PARAMETER = MCIERR_BASE + 161;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;

inline constexpr WORD AUXCAPS_CDAUDIO = 1;
inline constexpr WORD AUXCAPS_AUXIN = 2;

// The 48-byte capability record.
struct AUXCAPSA {
  WORD wMid = 0;
  WORD wPid = 0;
  DWORD vDriverVersion = 0;
  char szPname[32] = {};
  WORD wTechnology = 0;
  WORD wReserved1 = 0;
  DWORD dwSupport = 0;
};
static_assert(sizeof(AUXCAPSA) == 48);

// returnBuffer must be null (no command here answers with text).
MCIERROR mciSendStringA(const char* command, char* returnBuffer, UINT returnLength, HWND notify);
UINT auxGetNumDevs();
MMRESULT auxGetDevCapsA(UINT_PTR device, AUXCAPSA* caps, UINT size);
// Left volume in the low word, right in the high word, 0..0xFFFF each.
MMRESULT auxSetVolume(UINT device, DWORD volume);
// The volume last set (0xFFFFFFFF at start).
MMRESULT auxGetVolume(UINT device, DWORD* volume);
