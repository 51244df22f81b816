// Code page 936: lead bytes, the multibyte string functions with a trail
// byte that equals a backslash or an ASCII letter, and conversions.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

namespace {

// 昞 is 95 5C: its trail byte is a backslash. 乤 is 81 61: its trail byte is 'a'.
const std::string kBackslashTrail = "\x95\x5C";
const std::string kLetterTrail = "\x81\x61";

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.c_str()); }

TEST(CodePage936, LiteralsAndLeadBytes) {
  ASSERT_EQ(std::string("昞"), kBackslashTrail);
  ASSERT_EQ(std::string("乤"), kLetterTrail);
  EXPECT_EQ(GetACP(), 936u);
  EXPECT_FALSE(IsDBCSLeadByte(0x80));
  EXPECT_TRUE(IsDBCSLeadByte(0x81));
  EXPECT_TRUE(IsDBCSLeadByte(0xFE));
  EXPECT_FALSE(IsDBCSLeadByte(0xFF));
  EXPECT_FALSE(IsDBCSLeadByte('\\'));
}

TEST(CodePage936, SearchSkipsTrailBytes) {
  const std::string text = "a" + kBackslashTrail + "b\\c" + kBackslashTrail;
  // The only backslash character is at 4; bytes 2 and 7 are trail bytes.
  EXPECT_EQ(_mbsrchr(Bytes(text), '\\') - Bytes(text), 4);
  EXPECT_EQ(_mbschr(Bytes(text), '\\') - Bytes(text), 4);
  const std::string noBackslash = "x" + kBackslashTrail;
  EXPECT_EQ(_mbsrchr(Bytes(noBackslash), '\\'), nullptr);
  EXPECT_EQ(_mbschr(Bytes(noBackslash), '\\'), nullptr);
  // A double-byte character can be searched for as a whole.
  EXPECT_EQ(_mbschr(Bytes(text), 0x955C) - Bytes(text), 1);
  EXPECT_EQ(_mbsrchr(Bytes(text), 0x955C) - Bytes(text), 6);
}

TEST(CodePage936, CompareWithoutCase) {
  struct Case {
    std::string a, b;
    int sign;
  };
  const Case cases[] = {
      {"C:\\Prog\\" + kBackslashTrail + "\\App.EXE", "c:\\prog\\" + kBackslashTrail + "\\app.exe", 0},
      {"abc", "ABD", -1},
      {"abc", "ab", 1},
      // The trail byte 'a' is not folded: 81 61 differs from 81 41.
      {kLetterTrail, "\x81\x41", 1},
      {kLetterTrail, kLetterTrail, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    const int result = _mbsicmp(Bytes(c.a), Bytes(c.b));
    EXPECT_EQ((result > 0) - (result < 0), c.sign);
  }
}

TEST(CodePage936, UpperCaseLeavesDoubleByteCharacters) {
  std::string text = "ab" + kLetterTrail + "c" + kBackslashTrail + "z";
  _mbsupr(reinterpret_cast<unsigned char*>(text.data()));
  EXPECT_EQ(text, "AB" + kLetterTrail + "C" + kBackslashTrail + "Z");
}

TEST(CodePage936, ConversionsToUtf16AndUtf8) {
  const std::string ansi = "中文" + kBackslashTrail + "\\x";
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  ASSERT_EQ(wideLength, 6);
  WCHAR wide[8] = {};
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 8), 6);
  EXPECT_EQ(wide[0], 0x4E2D);
  EXPECT_EQ(wide[1], 0x6587);
  EXPECT_EQ(wide[2], 0x661E);
  EXPECT_EQ(wide[3], '\\');
  EXPECT_EQ(wide[5], 0);
  // Too small an output fails.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 3), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  char utf8[32] = {};
  const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
  EXPECT_EQ(std::string(utf8), "\xE4\xB8\xAD\xE6\x96\x87\xE6\x98\x9E\\x");
  EXPECT_EQ(utf8Length, 12);
  char back[16] = {};
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, back, sizeof back, nullptr, nullptr), 9);
  EXPECT_EQ(std::string(back), ansi);
}

TEST(CodePage936, UnmappableCharactersUseTheDefault) {
  const WCHAR wide[] = {'a', 0x0E01, 'b', 0};  // U+0E01 (Thai) is not in code page 936
  char out[8] = {};
  BOOL usedDefault = FALSE;
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, out, sizeof out, nullptr, &usedDefault), 4);
  EXPECT_STREQ(out, "a?b");
  EXPECT_TRUE(usedDefault);
  // Strict decoding refuses a lead byte without its trail byte.
  WCHAR units[4];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "a\x81", 2, units, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC3", 2, units, 4), 0);
}

}  // namespace
