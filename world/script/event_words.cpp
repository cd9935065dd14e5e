#include "world/script/event_words.h"

#include <cctype>
#include <climits>

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void PopFirstWord(CString& word, CString& text) {
  const std::string all(text.GetString());
  size_t at = 0;
  while (at < all.size() && IsSpace(all[at])) ++at;
  const size_t start = at;
  while (at < all.size() && !IsSpace(all[at])) ++at;
  word = all.substr(start, at - start).c_str();
  // Only the one separating character goes with the word.
  if (at < all.size()) ++at;
  text = all.substr(at).c_str();
}

int ParseLeadingDigits(const char* text, const char** end) {
  long long value = 0;
  const char* at = text ? text : "";
  for (; IsDigit(*at); ++at) {
    if (value < INT_MAX) value = value * 10 + (*at - '0');
  }
  if (end) *end = at;
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

int ParseClampedInt(const char* text) {
  if (!text) return 0;
  while (IsSpace(*text)) ++text;
  bool negative = false;
  if (*text == '-' || *text == '+') negative = *text++ == '-';
  long long value = 0;
  for (; IsDigit(*text); ++text) {
    if (value <= INT_MAX) value = value * 10 + (*text - '0');
  }
  if (negative) return value > static_cast<long long>(INT_MAX) + 1 ? INT_MIN : static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string TrimLeft(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && IsSpace(text[start])) ++start;
  return text.substr(start);
}

std::string TrimText(const std::string& text) {
  std::string left = TrimLeft(text);
  size_t end = left.size();
  while (end > 0 && IsSpace(left[end - 1])) --end;
  return left.substr(0, end);
}
