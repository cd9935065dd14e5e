// The mission briefing and the failure page: the pages of the mission
// archive ("BRIEFn.BMP" with "BRIEFn.TXT", "FAILn.BMP" with "FAILn.TXT"),
// the picture cross-fading in and the text typed one character at a time
// with the teletype's sounds.
#include <algorithm>
#include <vector>

#include "engine/data_archive.h"
#include "game/data_archive_locator.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/ship_controls.h"
#include "media/interface_display.h"
#include "media/rect8.h"
#include "media/sound_manager.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "platform/debug_output.h"

namespace {

constexpr int kScreenBriefing = 8;
constexpr int kScreenMissionFailed = 16;
constexpr int kPictureBriefingPage = 9;
constexpr int kMaxPages = 10;
// The text area.
constexpr int kTextLeft = 32;
constexpr int kTextTop = 50;
constexpr int kTextRight = 278;
constexpr int kTextBottom = 389;
constexpr DWORD kCharacterMs = 30;
// The sounds: the line's end beep and the four teletype beeps.
constexpr int kSoundTextBeep = 41;
constexpr int kSoundFirstTeletype = 42;
// A page text longer than this is cut (a briefing page holds far less).
constexpr int64_t kMaxPageText = 64 * 1024;

bool MemberExists(const char* name) { return ArchiveMemberOffset(name) >= 0; }

}  // namespace

std::vector<CString> BriefingLines(const CString& text, int charactersPerLine, int maxLines) {
  std::vector<CString> lines;
  const int length = text.GetLength();
  int at = 0;
  while (at < length && static_cast<int>(lines.size()) < maxLines) {
    int end = at;
    while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
    lines.push_back(text.Mid(at, std::min(end - at, std::max(0, charactersPerLine))));
    // CR LF, a lone LF and a lone CR each end a line; no character of the
    // next line is lost.
    if (end < length && text[end] == '\r' && end + 1 < length && text[end + 1] == '\n') ++end;
    at = end + 1;
  }
  return lines;
}

void CInterface::StartBriefing() {
  briefingPage_ = 0;
  lastBriefingPage_ = 0;
  briefingText_.Empty();
  backgrounds_[kPictureBriefingPage].Free();
  // The pages are the briefing's, whichever screen asked for them.
  screen_ = kScreenBriefing;
  OpenDataArchive(g_CurrentMissionArchive.GetString());
  if (MemberExists("BRIEF1.BMP")) ArchiveFlush();
  else lastBriefingPage_ = -1;
  while (lastBriefingPage_ >= 0 && lastBriefingPage_ + 1 < kMaxPages) {
    CString name;
    name.Format("BRIEF%d.BMP", lastBriefingPage_ + 2);
    if (!MemberExists(name.GetString())) break;
    ArchiveFlush();
    ++lastBriefingPage_;
  }
  ArchiveClose();
  CString line;
  line.Format("korvane: the briefing of %s has %d pages\n", g_CurrentMissionArchive.GetString(),
              lastBriefingPage_ + 1);
  OutputDebugString(line);
  LoadBriefingPage();
  ResetCursorRect();
  if (lastBriefingPage_ < 0) {
    CloseMenu();
    if (g_pNetDoc && !g_pNetDoc->IsGameRunning() && !g_pNetDoc->StartLevel()) CGameApp::FatalError("dd", 3118);
    return;
  }
  if (!menuActive_) {
    EnterMenuMode(false);
    menuActive_ = 1;
  }
  SetScreen(kScreenBriefing);
}

void CInterface::LoadBriefingPage() {
  if (lastBriefingPage_ < 0) {
    backgrounds_[kPictureBriefingPage].Free();
    return;
  }
  const bool failure = screen_ == kScreenMissionFailed;
  CString text, picture;
  if (failure) {
    text.Format("FAIL%d.TXT", failedMission_);
    picture.Format("FAIL%d.BMP", failedMission_);
  } else {
    text.Format("BRIEF%d.TXT", briefingPage_ + 1);
    picture.Format("BRIEF%d.BMP", briefingPage_ + 1);
  }
  briefingText_.Empty();
  OpenDataArchive(g_CurrentMissionArchive.GetString());
  if (ArchiveFindMember(text.GetString())) {
    // Up to the first '^' or the member's end (never into the next member).
    const int64_t size = std::min(ArchiveMemberRemaining(), kMaxPageText);
    std::vector<char> bytes(static_cast<size_t>(std::max<int64_t>(size, 0)));
    if (!bytes.empty() && !ArchiveReadBytes(bytes.data(), static_cast<int>(bytes.size()))) bytes.clear();
    for (char c : bytes) {
      if (c == '^') break;
      briefingText_ += c;
    }
    ArchiveFlush();
  } else {
    // A page without its text shows its picture alone.
    OutputDebugString(CString("korvane: the briefing page text ") + text + " is missing\n");
  }
  const bool hasPicture = MemberExists(picture.GetString());
  ArchiveClose();
  if (hasPicture) {
    backgrounds_[kPictureBriefingPage].CrossFadeFrom(1.5f, picture.GetString(), g_CurrentMissionArchive.GetString());
  } else {
    OutputDebugString(CString("korvane: the briefing page picture ") + picture + " is missing\n");
    backgrounds_[kPictureBriefingPage].Free();
  }
}

void CInterface::DrawBriefingText(bool restart) {
  const DWORD now = timeGetTime();
  if (restart) {
    briefingCharsShown_ = 0;
    lastCharTime_ = now;
    nextTeletypeSound_ = 0;
    FillRect8(kTextLeft, kTextTop, kTextRight, kTextBottom, g_BlackColour);
    return;
  }
  if (now > nextTeletypeSound_) {
    nextTeletypeSound_ = now + 800 + static_cast<DWORD>(RandomFloat(2200.0f));
    if (g_pSoundManager) g_pSoundManager->PlaySoundVolume(kSoundFirstTeletype + CrtRand() % 4, 0, 0);
  }
  const std::vector<CString> lines = BriefingLines(briefingText_, briefingCharsPerLine_, briefingLinesPerPage_);
  int before = 0;
  for (size_t k = 0; k < lines.size(); ++k) {
    const int length = lines[k].GetLength();
    if (before + length <= briefingCharsShown_) {
      before += length;
      continue;
    }
    // The line being typed.
    const int d = briefingCharsShown_ - before;
    if (now - lastCharTime_ > kCharacterMs) {
      lastCharTime_ = now;
      ++briefingCharsShown_;
      if (d + 2 == length && g_pSoundManager) g_pSoundManager->PlaySoundVolume(kSoundTextBeep, 0, 0);
    }
    const int y = kTextTop + (briefingLineHeight_ - fonts_[0].GetGlyphHeight()) / 2 +
                  static_cast<int>(k) * briefingLineHeight_;
    // Each character shows first in the fourth font and settles in the first
    // over four steps.
    for (int f = 0; f < 4; ++f) {
      const int position = d + f;
      if (position >= length) break;
      const char glyph[2] = {lines[k][position], 0};
      fonts_[f].DrawText(glyph, kTextLeft + position * fonts_[f].GetGlyphWidth(), y, false);
    }
    return;
  }
}
