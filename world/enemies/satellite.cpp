#include "platform/crt_random.h"
#include "world/enemies/satellite.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "media/sound_manager.h"
#include "platform/paths.h"
#include "platform/framework/serial_archive.h"

IMPLEMENT_DYNCREATE_CLASS(CSattelite, CObject)

CSattelite* g_pSatellite = nullptr;
SatellitePulseObserver g_SatellitePulseObserver = nullptr;

namespace {
constexpr int32_t kRestartDelay = 7000;
constexpr int32_t kDefaultAimingBase = 500;
constexpr int32_t kDefaultStrikeBase = 10000;
constexpr int kFileAimingBase = 2000;
constexpr int kFileStrikeBase = 25000;
constexpr int32_t kWarningMs = 2000;
constexpr size_t kTimingFileLimit = 1 << 16;
constexpr const char* kTimingFile = "\\vscript\\sattelit.ini";
constexpr int kOrderStop = 3;
constexpr int kOrderStart = 4;
enum Step { kAim = 1, kWarn = 2, kStrike = 3, kRest = 4 };
}  // namespace

CSattelite::CSattelite() {
  values_[1] = kRestartDelay;
  values_[3] = kDefaultAimingBase;
  values_[4] = kDefaultStrikeBase;
}

void CSattelite::SetDelays(int aimingBase, int strikeBase) {
  values_[3] = aimingBase;
  values_[4] = strikeBase;
}

void CSattelite::SerializeState(CArchive& archive) {
  const int32_t now = GetGameTime();
  if (archive.IsStoring()) {
    archive << state_ << nextState_ << target_[0] << target_[1] << target_[2];
    for (int32_t v : values_) archive << v;
    archive << active_ << delay_ << static_cast<uint32_t>(GameTimeSince(lastStep_, now));
    return;
  }
  archive >> state_ >> nextState_ >> target_[0] >> target_[1] >> target_[2];
  for (int32_t& v : values_) archive >> v;
  uint32_t since = 0;
  archive >> active_ >> delay_ >> since;
  lastStep_ = GameTimeAdd(now, -static_cast<int32_t>(since));
}

int CSattelite::Order(int code) {
  if (IsNetworkGame()) return 1;
  if (code == kOrderStop) {
    active_ = 0;
  } else if (code == kOrderStart && !active_) {
    active_ = 1;
    delay_ = values_[1];
    nextState_ = kAim;
    // The start message keeps the spelling players know.
    if (CNetDoc* doc = GetNetDoc()) doc->AddMessage("Sattelite Targeting...", -1, 0);
    lastStep_ = 0;
  }
  return 1;
}

void CSattelite::Update(float x, float y, float z, int32_t now) {
  if (!active_) return;
  if (lastStep_ == 0) {
    lastStep_ = now;
    return;
  }
  if (GameTimeSince(lastStep_, now) <= delay_) {
    if (state_ == kAim) target_[0] = x, target_[1] = y, target_[2] = z;
    return;
  }
  state_ = nextState_;
  CNetDoc* doc = GetNetDoc();
  switch (state_) {
    case kAim:
      target_[0] = x, target_[1] = y, target_[2] = z;
      nextState_ = kWarn;
      delay_ = CrtRand() % 20000 + values_[3];
      break;
    case kWarn:
      if (doc) doc->AddMessage("Satellite Targeting...", -1, 0);
      if (g_pSoundManager) g_pSoundManager->PlayNamedAt("satwarn", target_[0], target_[1], target_[2], 0);
      nextState_ = kStrike;
      delay_ = kWarningMs;
      break;
    case kStrike: {
      static constexpr float kOffsets[5][2] = {{0, 0}, {-50, -50}, {-50, 50}, {50, -50}, {50, 50}};
      for (const auto& o : kOffsets) {
        const float px = target_[0] + o[0], pz = target_[2] + o[1];
        if (doc) doc->SpawnEnergyPulse(0, px, target_[1], pz, 16.0f, 50.0f);
        if (g_SatellitePulseObserver) g_SatellitePulseObserver(px, target_[1], pz);
      }
      nextState_ = kRest;
      delay_ = CrtRand() % 5000 + values_[4];
      break;
    }
    case kRest:
      nextState_ = kAim;
      delay_ = values_[1];
      break;
    default:
      break;
  }
  lastStep_ = now;
}

bool ParseSatelliteTiming(const std::string& text, int* aimingBase, int* strikeBase) {
  bool found = false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    int first = 0, second = 0;
    // A line without two whole numbers changes nothing.
    if (std::sscanf(line.c_str(), "%d %d", &first, &second) != 2) continue;
    *aimingBase = first;
    *strikeBase = second;
    found = true;
  }
  return found;
}

void ReadSatelliteTiming() {
  if (!g_pSatellite) return;
  g_pSatellite->SetDelays(kFileAimingBase, kFileStrikeBase);
  FILE* file = PathOpenFile(kTimingFile, "rb");
  if (!file) return;
  std::string text;
  char buffer[512];
  size_t n;
  // A file far beyond any timing file's size is read no further.
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() < kTimingFileLimit) text.append(buffer, n);
  std::fclose(file);
  int aiming = kFileAimingBase, strike = kFileStrikeBase;
  if (ParseSatelliteTiming(text, &aiming, &strike)) g_pSatellite->SetDelays(aiming, strike);
}
