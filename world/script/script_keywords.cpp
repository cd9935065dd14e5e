#include "world/script/script_keywords.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "world/script/event_words.h"

namespace {

const char* SkipSpace(const char* text) {
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  return text;
}

}  // namespace

int32_t LookupKeyword(const char* text, const KeywordEntry* table) {
  if (!table) return kNoKeywordTable;
  const char* word = SkipSpace(text ? text : "");
  for (; table->text; ++table) {
    if (std::strcmp(word, table->text) == 0) return table->value;
  }
  return table->value;
}

int ParseIntDefault(const char* text, int fallback) {
  if (!text) return fallback;
  const char* at = SkipSpace(text);
  if (!std::isdigit(static_cast<unsigned char>(*at)) && *at != '-' && *at != '+') return fallback;
  return ParseClampedInt(at);
}

float ParseFloatDefault(const char* text, float fallback) {
  if (!text) return fallback;
  const char* at = SkipSpace(text);
  if (!std::isdigit(static_cast<unsigned char>(*at)) && *at != '-' && *at != '+' && *at != '.') return fallback;
  return static_cast<float>(std::atof(at));
}
