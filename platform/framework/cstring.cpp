#include "platform/framework/cstring.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/ascii.h"

CString::CString(const char* text, int length) {
  if (text && length > 0) s_.assign(text, strnlen(text, static_cast<size_t>(length)));
}

CString::CString(char ch, int repeat) {
  if (repeat > 0) s_.assign(static_cast<size_t>(repeat), ch);
}

char CString::GetAt(int index) const {
  if (index < 0 || index >= GetLength()) return 0;
  return s_[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch) {
  if (index < 0 || index >= GetLength()) return;
  s_[static_cast<size_t>(index)] = ch;
}

CString& CString::operator=(const char* text) {
  // Assigning from our own buffer is allowed.
  s_ = std::string(text ? text : "");
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text) s_ += std::string(text);
  return *this;
}

CString& CString::operator+=(const CString& text) {
  s_ += text.s_;
  return *this;
}

CString& CString::operator+=(char ch) {
  s_ += ch;
  return *this;
}

int CString::Compare(const char* text) const { return std::strcmp(s_.c_str(), text ? text : ""); }

int CString::CompareNoCase(const char* text) const { return AsciiCompareNoCase(s_.c_str(), text ? text : ""); }

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  if (first < 0) first = 0;
  if (count < 0) count = 0;
  if (first >= GetLength()) return CString();
  if (count > GetLength() - first) count = GetLength() - first;
  return CString(std::string_view(s_).substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
  if (count < 0) count = 0;
  if (count > GetLength()) count = GetLength();
  return Mid(GetLength() - count, count);
}

int CString::Find(char ch, int start) const {
  if (start < 0) start = 0;
  if (start >= GetLength()) return -1;
  const size_t at = s_.find(ch, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* text, int start) const {
  if (!text) return -1;
  if (start < 0) start = 0;
  if (start > GetLength()) return -1;
  const size_t at = s_.find(text, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
  const size_t at = s_.rfind(ch);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

void CString::MakeUpper() {
  for (char& c : s_) c = AsciiToUpper(c);
}

void CString::MakeLower() {
  for (char& c : s_) c = AsciiToLower(c);
}

namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
}  // namespace

void CString::TrimLeft() {
  size_t i = 0;
  while (i < s_.size() && IsSpace(s_[i])) ++i;
  s_.erase(0, i);
}

void CString::TrimRight() {
  size_t n = s_.size();
  while (n > 0 && IsSpace(s_[n - 1])) --n;
  s_.resize(n);
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    out.resize(static_cast<size_t>(needed) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(needed));
  }
  va_end(args);
  s_ = std::move(out);
}

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) s_.resize(static_cast<size_t>(minLength));
  return s_.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(std::strlen(s_.c_str()));
  if (newLength > GetLength()) newLength = GetLength();
  s_.resize(static_cast<size_t>(newLength));
}

CString operator+(const CString& a, const CString& b) { return CString(a.Str() + b.Str()); }
CString operator+(const CString& a, const char* b) { return CString(a.Str() + (b ? b : "")); }
CString operator+(const char* a, const CString& b) { return CString(std::string(a ? a : "") + b.Str()); }
CString operator+(const CString& a, char b) { return CString(a.Str() + b); }

bool operator==(const CString& a, const CString& b) { return a.Str() == b.Str(); }
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, const char* b) { return !(a == b); }
bool operator!=(const char* a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.Str() < b.Str(); }
