#include "platform/ascii.h"

int AsciiCompareNoCaseN(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const unsigned char ca = static_cast<unsigned char>(AsciiToUpper(a[i]));
    const unsigned char cb = static_cast<unsigned char>(AsciiToUpper(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
  return 0;
}

int AsciiCompareNoCase(const char* a, const char* b) { return AsciiCompareNoCaseN(a, b, static_cast<size_t>(-1)); }

bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiToUpper(a[i]) != AsciiToUpper(b[i])) return false;
  return true;
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiToUpper(c);
  return out;
}
