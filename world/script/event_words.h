#pragma once
// The small text readers of the event language: the word splitter that the
// keywords read their arguments with, and number readers that never
// overflow (a long digit string from level or network data saturates).
#include <string>

#include "platform/framework/cstring.h"

// Takes the first word of text into word: leading white space (isspace) is
// skipped, the word runs to the next white space, and text keeps what
// follows that one separating character (further blanks stay for the next
// call). Nothing left gives an empty word and an empty text.
void PopFirstWord(CString& word, CString& text);

// The leading decimal digits of text (no blanks skipped, no sign) as a
// non-negative value saturated at INT_MAX; *end (when given) gets the
// position after the digits. No digits give 0.
int ParseLeadingDigits(const char* text, const char** end = nullptr);
// A decimal integer as the standard library's atoi reads it (leading white
// space, a sign, digits up to the first other character), saturated at
// INT_MIN..INT_MAX instead of overflowing. Null or no digits give 0.
int ParseClampedInt(const char* text);

// The text without white space at either end.
std::string TrimText(const std::string& text);
std::string TrimLeft(const std::string& text);
