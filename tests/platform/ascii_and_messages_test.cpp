#include <gtest/gtest.h>

#include "platform/ascii.h"
#include "platform/debug_output.h"

TEST(Ascii, ComparesWithoutRegardToCaseByAsciiRulesOnly) {
  EXPECT_EQ(AsciiCompareNoCase("Textures", "TEXTURES"), 0);
  EXPECT_LT(AsciiCompareNoCase("ABC", "abd"), 0);
  EXPECT_GT(AsciiCompareNoCase("abc", "AB"), 0);
  EXPECT_EQ(AsciiCompareNoCaseN("LEVEL1.CCW", "level1.ccx", 9), 0);
  EXPECT_NE(AsciiCompareNoCaseN("LEVEL1.CCW", "level1.ccx", 10), 0);
  // Bytes above 127 are left as they are.
  EXPECT_EQ(AsciiUpper("\xe9t\xe9"), "\xe9T\xe9");
  EXPECT_EQ(AsciiUpper("a{z}"), "A{Z}");
}

TEST(MessageBox, AnswersWithTheDefaultButtonOfItsType) {
  struct Case {
    UINT type;
    int expected;
  } cases[] = {
      {MB_OK, IDOK},
      {MB_OKCANCEL, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_RETRYCANCEL, IDRETRY},
      {MB_OK | MB_DEFBUTTON3, IDOK},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageBox(nullptr, "text", "caption", c.type), c.expected) << c.type;
}
