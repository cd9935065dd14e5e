#include "world/script/event_split.h"

#include "world/script/event_manager.h"

std::vector<std::string> SplitEventText(const std::string& text) {
  const std::string bounded = text.substr(0, kEventTextLimit);
  std::vector<std::string> pieces;
  bool inQuotes = false;
  int depth = 0;
  size_t start = 0;
  for (size_t at = 0; at < bounded.size(); ++at) {
    const char c = bounded[at];
    if (c == '"') {
      inQuotes = !inQuotes;
    } else if (c == '{') {
      ++depth;
    } else if (c == '}') {
      --depth;
    } else if (c == '|' && !inQuotes && depth <= 0 && at + 1 < bounded.size()) {
      pieces.push_back(bounded.substr(start, at - start));
      start = at + 1;
    }
  }
  pieces.push_back(bounded.substr(start));
  return pieces;
}
