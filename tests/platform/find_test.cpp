// FindFirstFileA / FindNextFileA: wildcards, letter case, "." and "..",
// the data of each entry and the errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "platform/win32.h"
#include "tests/support/temp_folder.h"

namespace {

using tavlen::test::TempFolder;
using tavlen::test::WriteFileBytes;

// The names a search finds, or the error when it finds none.
std::set<std::string> Names(const std::string& pattern, DWORD* error = nullptr) {
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  SetLastError(0);
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    if (error != nullptr) *error = GetLastError();
    return names;
  }
  do {
    names.insert(data.cFileName);
  } while (FindNextFileA(find, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(find));
  return names;
}

class Find : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteFileBytes(m_folder / "Readme.TXT", "12345"));
    ASSERT_TRUE(WriteFileBytes(m_folder / "app.dll", ""));
    ASSERT_TRUE(WriteFileBytes(m_folder / "data1.bin", ""));
    ASSERT_TRUE(WriteFileBytes(m_folder / "data22.bin", ""));
    ASSERT_TRUE(WriteFileBytes(m_folder / "noext", ""));
    ASSERT_TRUE(CreateDirectoryA((m_folder / "Sub").c_str(), nullptr));
  }
  TempFolder m_folder;
};

TEST_F(Find, WildcardsMatchWithoutRegardToCase) {
  using Set = std::set<std::string>;
  const Set all = {".", "..", "Readme.TXT", "app.dll", "data1.bin", "data22.bin", "noext", "Sub"};
  struct Case {
    const char* pattern;
    Set expected;
  };
  const Case cases[] = {
      {"*", all},
      {"*.*", all},
      {"*.txt", {"Readme.TXT"}},
      {"READ*", {"Readme.TXT"}},
      {"data?.bin", {"data1.bin"}},
      {"data*.BIN", {"data1.bin", "data22.bin"}},
      {"?????", {"noext"}},
      {"sub", {"Sub"}},
      {"APP.DLL", {"app.dll"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(Names(m_folder / c.pattern), c.expected);
  }
}

TEST_F(Find, DoubleByteNamesWithABackslashTrailByte) {
  // 昞 is 95 5C: its trail byte must not split the name or the pattern.
  ASSERT_TRUE(WriteFileBytes(m_folder / "a昞b.txt", "x"));
  EXPECT_EQ(Names(m_folder / "*昞?.TXT"), std::set<std::string>{"a昞b.txt"});
  EXPECT_EQ(Names(m_folder / "?昞b.txt"), std::set<std::string>{"a昞b.txt"});
  EXPECT_EQ(Names(m_folder / "A昞B.TXT"), std::set<std::string>{"a昞b.txt"});
}

TEST_F(Find, NoMatchAndBadFolders) {
  DWORD error = 0;
  EXPECT_TRUE(Names(m_folder / "*.exe", &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(Names(m_folder / "missing", &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(Names(m_folder / "missing\\*", &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  // A folder written with a trailing backslash names no entry.
  EXPECT_TRUE(Names(m_folder / "Sub\\", &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Find, EntryDataAndDotEntries) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((m_folder / "readme.txt").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  // The name is reported as stored, whatever case the pattern used.
  EXPECT_STREQ(data.cFileName, "Readme.TXT");
  EXPECT_EQ(data.nFileSizeLow, 5u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_FALSE(FindNextFileA(find, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  FindClose(find);

  // An empty folder lists "." and "..", both folders.
  find = FindFirstFileA((m_folder / "Sub\\*.*").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  std::set<std::string> names;
  do {
    EXPECT_NE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u) << data.cFileName;
    names.insert(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  EXPECT_EQ(names, (std::set<std::string>{".", ".."}));
}

TEST_F(Find, ReadOnlyAttributeIsReported) {
  ASSERT_TRUE(SetFileAttributesA((m_folder / "app.dll").c_str(), FILE_ATTRIBUTE_READONLY));
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((m_folder / "app.dll").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  EXPECT_NE(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(Find, EntriesDeletedDuringTheSearchDoNotRepeat) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((m_folder / "*.bin").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  std::set<std::string> seen;
  do {
    EXPECT_TRUE(seen.insert(data.cFileName).second) << data.cFileName;
    EXPECT_TRUE(DeleteFileA((m_folder / data.cFileName).c_str()));
  } while (FindNextFileA(find, &data));
  FindClose(find);
  EXPECT_EQ(seen.size(), 2u);
}

TEST(FindHandles, CloseOfABadHandleFails) {
  EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
  WIN32_FIND_DATAA data;
  EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
}

}  // namespace
