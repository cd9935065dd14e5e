// The message texts of "LOGS.TXT": the level script's "log" lines and the
// HUD's messages look their texts up here by key.
#include <string_view>
#include <vector>

#include "engine/data_archive.h"
#include "game/data_archive_locator.h"
#include "game/game_app.h"
#include "game/net_doc.h"
#include "platform/ascii.h"

namespace {

constexpr int kLineMissingTexts = 509;
constexpr int kLineUnreadableTexts = 518;
constexpr size_t kMinKey = 3;
constexpr size_t kMaxKey = 8;

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

void ParseTextTable(const char* text, size_t length, CMapStringToString* table) {
  // A NUL ends the text as the end of the buffer does.
  std::string_view rest(text, length);
  rest = rest.substr(0, rest.find('\0'));
  while (true) {
    while (!rest.empty() && IsLineEnd(rest.front())) rest.remove_prefix(1);
    if (rest.empty()) return;
    size_t lineEnd = 0;
    while (lineEnd < rest.size() && !IsLineEnd(rest[lineEnd])) ++lineEnd;
    const std::string_view line = rest.substr(0, lineEnd);
    const size_t separator = line.find(": ");
    if (separator == std::string_view::npos || separator < kMinKey || separator > kMaxKey) return;
    const std::string key = AsciiUpper(line.substr(0, separator));
    const std::string value(line.substr(separator + 2));
    (*table)[key.c_str()] = value.c_str();
    rest.remove_prefix(lineEnd);
  }
}

void CNetDoc::LoadTextTable() {
  OpenDataArchive("INTERFC.CAN");
  if (!ArchiveFindMember("LOGS.TXT")) CGameApp::FatalError(kNetDocSource, kLineMissingTexts);
  const int size = ArchiveMemberSize("LOGS.TXT");
  if (size < 0) CGameApp::FatalError(kNetDocSource, kLineMissingTexts);
  std::vector<char> buffer(static_cast<size_t>(size));
  if (!ArchiveReadBytes(buffer.data(), size)) CGameApp::FatalError(kNetDocSource, kLineUnreadableTexts);
  ArchiveFlush();
  ArchiveClose();
  ParseTextTable(buffer.data(), buffer.size(), &texts_);
}
