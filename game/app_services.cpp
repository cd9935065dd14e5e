#include "game/app_services.h"

#include <algorithm>
#include <climits>

#include "game/game_app.h"
#include "game/interface_manager.h"
#include "platform/ascii.h"
#include "platform/framework/window_manager.h"

namespace {
constexpr int kMissionCount = 24;
// Mission 1 to 24; the music of mission 1 is track 2.
constexpr int kCdTrackOfMission[kMissionCount] = {2, 3, 4, 2, 2, 2, 2, 2, 2, 2, 2, 2,
                                                  2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
}  // namespace

bool PollMessageQueue() {
  MSG msg;
  return PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

bool MatchFileMask(const CString& mask, const CString& name) {
  const int star = mask.Find('*');
  const int prefix = star < 0 ? mask.GetLength() : star;
  if (name.GetLength() < prefix) return false;
  return AsciiCompareNoCaseN(mask.GetString(), name.GetString(), static_cast<size_t>(prefix)) == 0;
}

int LeadingDecimal(const CString& text) {
  int i = 0;
  while (text[i] == ' ' || text[i] == '\t') ++i;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  long long value = 0;
  for (; text[i] >= '0' && text[i] <= '9'; ++i) value = std::min<long long>(value * 10 + (text[i] - '0'), INT_MAX);
  return static_cast<int>(negative ? -value : value);
}

int CdTrackForMission() {
  // "M12.CAN": the characters after the first one, up to the first '.'.
  const CString& name = g_CurrentMissionArchive;
  const int dot = name.Find('.');
  int mission = LeadingDecimal(name.Mid(1, dot < 0 ? name.GetLength() : dot - 1));
  if (mission < 1) mission = 1;
  if (mission > kMissionCount) mission = kMissionCount;
  return kCdTrackOfMission[mission - 1];
}

void ClearInputKeys() {
  if (g_pInterface) g_pInterface->ClearKeys();
}
