#pragma once
// The class library's string: a byte string that converts to const char*,
// with the operations the game uses. Indexes out of range are clamped or read
// as 0 instead of asserting.
#include <string>
#include <string_view>

class CString {
 public:
  CString() = default;
  CString(const char* text) : s_(text ? text : "") {}  // NOLINT: converts like the original
  CString(const char* text, int length);
  CString(std::string_view text) : s_(text) {}    // NOLINT
  CString(const std::string& text) : s_(text) {}  // NOLINT
  CString(char ch, int repeat = 1);

  int GetLength() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  // 0 for an index outside the string.
  char GetAt(int index) const;
  char operator[](int index) const { return GetAt(index); }
  // Ignored for an index outside the string.
  void SetAt(int index, char ch);

  operator const char*() const { return s_.c_str(); }  // NOLINT
  const char* GetString() const { return s_.c_str(); }
  const std::string& Str() const { return s_; }

  CString& operator=(const char* text);
  CString& operator+=(const char* text);
  CString& operator+=(const CString& text);
  CString& operator+=(char ch);

  // <0, 0, >0 like strcmp; the no-case form compares ASCII upper case.
  int Compare(const char* text) const;
  int CompareNoCase(const char* text) const;

  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;
  // Index of the first match at or after start, -1 when none.
  int Find(char ch, int start = 0) const;
  int Find(const char* text, int start = 0) const;
  int ReverseFind(char ch) const;

  void MakeUpper();
  void MakeLower();
  void TrimLeft();
  void TrimRight();

  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // A writable buffer of at least minLength characters (plus terminator);
  // ReleaseBuffer fixes the length (-1: up to the first NUL).
  char* GetBuffer(int minLength);
  void ReleaseBuffer(int newLength = -1);

 private:
  std::string s_;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
