#pragma once
// Readers of level property text: keyword tables and numbers with a
// default. A property that is absent, or does not begin like a number,
// gives the default its reader is called with.
#include <cstdint>

// One row of a keyword table; a table ends with a row whose text is null and
// whose value is the answer for an unknown word.
struct KeywordEntry {
  const char* text;
  int32_t value;
};

inline constexpr int32_t kNoKeywordTable = static_cast<int32_t>(0x80000000u);

// The value of the row whose text equals text after its leading white
// space, compared exactly; the end row's value when none does;
// kNoKeywordTable without a table. A null text counts as empty.
int32_t LookupKeyword(const char* text, const KeywordEntry* table);
// Leading white space skipped; a digit, '-' or '+' next: the integer the
// text starts with (saturated instead of overflowing); otherwise, or for a
// null text, the default.
int ParseIntDefault(const char* text, int fallback);
// The same for a decimal number, which may also start with '.'.
float ParseFloatDefault(const char* text, float fallback);
