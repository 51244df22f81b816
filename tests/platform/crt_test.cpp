// The C runtime over Windows paths: text mode stores LF as CR LF, binary
// mode keeps bytes, and remove follows the read-only and sharing rules.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/win32.h"
#include "tests/platform/read_only_probe.h"
#include "tests/support/temp_folder.h"

namespace {

using tavlen::test::ReadFileBytes;
using tavlen::test::TempFolder;
using tavlen::test::WriteFileBytes;

TEST(CrtOpen, TextModeWritesCrLfAndAppends) {
  TempFolder folder;
  const std::string path = folder / "updater.log";
  for (const char* line : {"first", "end\r\n"}) {
    FILE* file = CrtOpen(path.c_str(), "a+");
    ASSERT_NE(file, nullptr);
    std::fprintf(file, "%s\n", line);
    std::fclose(file);
  }
  EXPECT_EQ(tavlen::test::FileContents(path), "first\r\nend\r\r\n\r\n");
}

TEST(CrtOpen, TextModeReadsCrLfAsLf) {
  TempFolder folder;
  const std::string path = folder / "in.txt";
  // Long enough that a CR LF pair straddles the runtime's read chunks.
  std::string raw;
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    raw += "ab\r\n";
    expected += "ab\n";
  }
  raw += "lone\rcr";
  expected += "lone\rcr";
  ASSERT_TRUE(WriteFileBytes(path, raw));
  FILE* file = CrtOpen(path.c_str(), "r");
  ASSERT_NE(file, nullptr);
  std::string text;
  char buffer[1000];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  std::fclose(file);
  EXPECT_EQ(text, expected);
}

TEST(CrtOpen, BinaryModeKeepsBytes) {
  TempFolder folder;
  const std::string path = folder / "data.bin";
  FILE* file = CrtOpen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("a\nb\r\n", file);
  std::fclose(file);
  EXPECT_EQ(tavlen::test::FileContents(path), "a\nb\r\n");
  file = CrtOpen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, file), 5u);
  std::fclose(file);
  // "w" truncates an existing file.
  file = CrtOpen(path.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_EQ(tavlen::test::FileContents(path), "");
}

TEST(CrtOpen, RefusesMissingFiles) {
  TempFolder folder;
  errno = 0;
  EXPECT_EQ(CrtOpen((folder / "missing.txt").c_str(), "r"), nullptr);
  EXPECT_EQ(errno, ENOENT);
}

TEST(CrtOpen, RefusesToWriteReadOnlyFiles) {
  TempFolder folder;
  SKIP_UNLESS_READ_ONLY_IS_ENFORCED(folder.Path());
  const std::string path = folder / "ro.txt";
  ASSERT_TRUE(WriteFileBytes(path, "keep"));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  errno = 0;
  EXPECT_EQ(CrtOpen(path.c_str(), "a+"), nullptr);
  EXPECT_EQ(errno, EACCES);
  FILE* file = CrtOpen(path.c_str(), "r");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_EQ(tavlen::test::FileContents(path), "keep");
}

TEST(CrtRemove, DeletesFilesButNotReadOnlyOrLockedOnes) {
  TempFolder folder;
  const std::string path = folder / "f.txt";
  ASSERT_TRUE(WriteFileBytes(path, "x"));
  EXPECT_EQ(CrtRemove(path.c_str()), 0);
  EXPECT_FALSE(tavlen::test::Exists(path));
  EXPECT_NE(CrtRemove(path.c_str()), 0);
  EXPECT_EQ(errno, ENOENT);

  ASSERT_TRUE(WriteFileBytes(path, "x"));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_NE(CrtRemove(path.c_str()), 0);
  EXPECT_EQ(errno, EACCES);
  EXPECT_TRUE(tavlen::test::Exists(path));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));

  HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_NE(CrtRemove(path.c_str()), 0);
  EXPECT_EQ(errno, EACCES);
  EXPECT_TRUE(tavlen::test::Exists(path));
  CloseHandle(locked);
  EXPECT_EQ(CrtRemove(path.c_str()), 0);
}

TEST(CrtRemove, AnOpenLogStreamCannotBeDeleted) {
  TempFolder folder;
  const std::string path = folder / "open.log";
  FILE* file = CrtOpen(path.c_str(), "a+");
  ASSERT_NE(file, nullptr);
  SetLastError(0);
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  std::fclose(file);
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}

}  // namespace
