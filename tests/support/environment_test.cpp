// Checks of the build and test environment that every other test relies on:
// narrow literals are stored in code page 936 by every compiler, Windows
// programs run under wine with 936 as the ANSI code page, and the temporary
// folders of the test support work.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(Environment, NarrowLiteralsAreCodePage936) {
  // "中文" is D6 D0 CE C4 in code page 936 (E4 B8 AD E6 96 87 in UTF-8).
  const std::string text = "中文";
  ASSERT_EQ(text.size(), 4u);
  EXPECT_EQ(text, "\xD6\xD0\xCE\xC4");
}

TEST(Environment, WideLiteralsStayUnicode) {
  const std::wstring text = L"中文";
  ASSERT_EQ(text.size(), 2u);
  EXPECT_EQ(static_cast<unsigned>(text[0]), 0x4E2Du);
  EXPECT_EQ(static_cast<unsigned>(text[1]), 0x6587u);
}

#ifdef _WIN32
// On Linux the code page is fixed by the platform layer and tested with it;
// here it checks that wine runs the tests in the Chinese locale.
TEST(Environment, AnsiCodePageIs936UnderWine) { EXPECT_EQ(GetACP(), 936u); }
#endif

TEST(Environment, TempFolderHoldsFilesAndIsRemoved) {
  std::string path;
  {
    tavlen::test::TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    path = folder.Path();
    EXPECT_TRUE(tavlen::test::Exists(path));
    ASSERT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
    ASSERT_TRUE(tavlen::test::WriteFileBytes(folder / "sub\\a.bin", std::string("x\0y\r\n", 5)));
    std::string bytes;
    ASSERT_TRUE(tavlen::test::ReadFileBytes(folder / "sub\\a.bin", bytes));
    EXPECT_EQ(bytes, std::string("x\0y\r\n", 5));
    EXPECT_FALSE(tavlen::test::ReadFileBytes(folder / "missing.bin", bytes));
  }
  EXPECT_FALSE(tavlen::test::Exists(path));
}

TEST(Environment, TwoTempFoldersDiffer) {
  tavlen::test::TempFolder first;
  tavlen::test::TempFolder second;
  EXPECT_NE(first.Path(), second.Path());
}

}  // namespace
