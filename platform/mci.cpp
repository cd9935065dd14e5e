#include "platform/mci.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "platform/backend.h"

namespace {

constexpr uint32_t kCdDeviceId = 1;

struct CdDevice {
  bool open = false;
  std::string alias;
  DWORD volume = 0xFFFFFFFF;
};
CdDevice g_Cd;

PlatformMusic& Music() { return *PlatformBackendGet().music; }

std::vector<std::string> Words(const char* command) {
  std::vector<std::string> words;
  std::istringstream in(command);
  for (std::string word; in >> word;) {
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    words.push_back(word);
  }
  return words;
}

// A track number: 1..99, the whole word.
bool TrackNumber(const std::string& word, int* track) {
  if (word.empty() || word.size() > 2) return false;
  char* end = nullptr;
  const long n = std::strtol(word.c_str(), &end, 10);
  if (*end || n < 1 || n > 99) return false;
  *track = static_cast<int>(n);
  return true;
}

MCIERROR Play(const std::vector<std::string>& w, HWND notify) {
  // play ALIAS from A [to B] [notify]
  int from = 0, to = 0;
  bool wantsNotify = false;
  for (size_t i = 2; i < w.size(); ++i) {
    if (w[i] == "from" && i + 1 < w.size()) {
      if (!TrackNumber(w[++i], &from)) return MCIERR_OUTOFRANGE;
    } else if (w[i] == "to" && i + 1 < w.size()) {
      if (!TrackNumber(w[++i], &to)) return MCIERR_OUTOFRANGE;
    } else if (w[i] == "notify") {
      wantsNotify = true;
    } else {
      return MCIERR_UNRECOGNIZED_COMMAND;
    }
  }
  if (from == 0) return MCIERR_MISSING_PARAMETER;
  if (to != 0 && to <= from) return MCIERR_OUTOFRANGE;
  return Music().Play(from, wantsNotify ? notify : nullptr, kCdDeviceId) ? 0 : MCIERR_OUTOFRANGE;
}

}  // namespace

MCIERROR mciSendStringA(const char* command, char* returnBuffer, UINT returnLength, HWND notify) {
  if (returnBuffer && returnLength) returnBuffer[0] = '\0';
  if (!command) return MCIERR_UNRECOGNIZED_COMMAND;
  const std::vector<std::string> w = Words(command);
  if (w.empty()) return MCIERR_UNRECOGNIZED_COMMAND;
  if (w[0] == "close" && w.size() == 2 && (w[1] == "all" || (g_Cd.open && w[1] == g_Cd.alias))) {
    if (g_Cd.open) Music().Close();
    g_Cd.open = false;
    return 0;
  }
  if (w[0] == "open") {
    if (w.size() != 4 || w[1] != "cdaudio" || w[2] != "alias") return MCIERR_UNRECOGNIZED_COMMAND;
    if (g_Cd.open) return MCIERR_DEVICE_NOT_READY;
    if (!Music().Open()) return MCIERR_DEVICE_NOT_READY;
    g_Cd.open = true;
    g_Cd.alias = w[3];
    return 0;
  }
  if (w.size() < 2 || !g_Cd.open || w[1] != g_Cd.alias) return MCIERR_INVALID_DEVICE_NAME;
  if (w[0] == "set") {
    return w.size() == 5 && w[2] == "time" && w[3] == "format" && w[4] == "tmsf" ? 0 : MCIERR_UNRECOGNIZED_COMMAND;
  }
  if (w[0] == "play") return Play(w, notify);
  if (w[0] == "stop" && w.size() == 2) {
    Music().Stop();
    return 0;
  }
  return MCIERR_UNRECOGNIZED_COMMAND;
}

UINT auxGetNumDevs() { return 1; }

MMRESULT auxGetDevCapsA(UINT_PTR device, AUXCAPSA* caps, UINT size) {
  if (device != 0) return MMSYSERR_BADDEVICEID;
  if (!caps || size < sizeof(AUXCAPSA)) return MMSYSERR_INVALPARAM;
  *caps = AUXCAPSA{};
  std::strncpy(caps->szPname, "CD Audio", sizeof caps->szPname - 1);
  caps->wTechnology = AUXCAPS_CDAUDIO;
  caps->dwSupport = 0x3;  // volume, left and right apart
  return MMSYSERR_NOERROR;
}

MMRESULT auxSetVolume(UINT device, DWORD volume) {
  if (device != 0) return MMSYSERR_BADDEVICEID;
  g_Cd.volume = volume;
  Music().SetVolume((volume & 0xFFFF) / 65535.0f, (volume >> 16) / 65535.0f);
  return MMSYSERR_NOERROR;
}

MMRESULT auxGetVolume(UINT device, DWORD* volume) {
  if (device != 0) return MMSYSERR_BADDEVICEID;
  if (!volume) return MMSYSERR_INVALPARAM;
  *volume = g_Cd.volume;
  return MMSYSERR_NOERROR;
}
