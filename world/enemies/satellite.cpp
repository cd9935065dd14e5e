#include "world/enemies/satellite.h"

#include "game/game_clock.h"
#include "platform/framework/serial_archive.h"

IMPLEMENT_DYNCREATE_CLASS(CSattelite, CObject)

CSattelite* g_pSatellite = nullptr;

namespace {
constexpr int32_t kRestartDelay = 7000;
constexpr int32_t kDefaultAimingBase = 500;
constexpr int32_t kDefaultStrikeBase = 10000;
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

// The strikes' own timing file is read with the strikes' work; until then
// the controller keeps the file-less defaults.
void ReadSatelliteTiming() {
  if (g_pSatellite) g_pSatellite->SetDelays(2000, 25000);
}
