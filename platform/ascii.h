#pragma once
// Case rules the game assumes everywhere: ASCII only, independent of locale.
#include <cstddef>
#include <string>
#include <string_view>

inline char AsciiToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char AsciiToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// <0, 0 or >0 like strcmp, comparing upper-cased bytes.
int AsciiCompareNoCase(const char* a, const char* b);
// As above over at most n characters.
int AsciiCompareNoCaseN(const char* a, const char* b, size_t n);
bool AsciiEqualNoCase(std::string_view a, std::string_view b);
std::string AsciiUpper(std::string_view text);
