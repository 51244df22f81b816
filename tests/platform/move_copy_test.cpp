// MoveFileExA and CopyFileA: existing targets, fail-if-exists, folders as
// targets, locked and read-only files.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/platform/read_only_probe.h"
#include "tests/support/temp_folder.h"

namespace {

using tavlen::test::Exists;
using tavlen::test::ReadFileBytes;
using tavlen::test::TempFolder;
using tavlen::test::WriteFileBytes;

TEST(MoveFile, CombinationsOfFlagsAndTargets) {
  struct Case {
    const char* name;
    bool targetExists;
    DWORD flags;
    bool succeeds;
    DWORD error;
  };
  const Case cases[] = {
      {"new target", false, MOVEFILE_COPY_ALLOWED, true, 0},
      {"existing target, no replace", true, MOVEFILE_COPY_ALLOWED, false, ERROR_ALREADY_EXISTS},
      {"existing target, no flags", true, 0, false, ERROR_ALREADY_EXISTS},
      {"existing target, replace", true, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string from = folder / "from.txt";
    const std::string to = folder / "to.txt";
    ASSERT_TRUE(WriteFileBytes(from, "source"));
    if (c.targetExists) {
      ASSERT_TRUE(WriteFileBytes(to, "target"));
    }
    SetLastError(0);
    EXPECT_EQ(MoveFileExA(from.c_str(), to.c_str(), c.flags) != FALSE, c.succeeds);
    const DWORD error = GetLastError();
    if (c.succeeds) {
      EXPECT_FALSE(Exists(from));
      EXPECT_EQ(tavlen::test::FileContents(to), "source");
    } else {
      EXPECT_EQ(error, c.error);
      EXPECT_EQ(tavlen::test::FileContents(from), "source");
      EXPECT_EQ(tavlen::test::FileContents(to), "target");
    }
  }
}

TEST(MoveFile, Errors) {
  TempFolder folder;
  const std::string from = folder / "from.txt";
  SetLastError(0);
  EXPECT_FALSE(MoveFileExA(from.c_str(), (folder / "to.txt").c_str(), MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_TRUE(WriteFileBytes(from, "source"));
  EXPECT_FALSE(MoveFileExA(from.c_str(), (folder / "missing\\to.txt").c_str(), MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  // A file open without FILE_SHARE_DELETE cannot be moved.
  HANDLE open = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(MoveFileExA(from.c_str(), (folder / "to.txt").c_str(), MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CloseHandle(open);
}

TEST(MoveFile, ReadOnlyFiles) {
  TempFolder folder;
  SKIP_UNLESS_READ_ONLY_IS_ENFORCED(folder.Path());
  const std::string from = folder / "from.txt";
  ASSERT_TRUE(WriteFileBytes(from, "source"));
  // A read-only file can be renamed; a read-only target is not replaced.
  ASSERT_TRUE(SetFileAttributesA(from.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(MoveFileExA(from.c_str(), (folder / "ro.txt").c_str(), 0));
  ASSERT_TRUE(WriteFileBytes(from, "other"));
  EXPECT_FALSE(MoveFileExA(from.c_str(), (folder / "ro.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(tavlen::test::FileContents(folder / "ro.txt"), "source");
}

TEST(MoveFile, FoldersMoveWithTheirContents) {
  TempFolder folder;
  ASSERT_TRUE(CreateDirectoryA((folder / "a").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(folder / "a\\f.txt", "in a"));
  EXPECT_TRUE(MoveFileExA((folder / "a").c_str(), (folder / "b").c_str(), MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(tavlen::test::FileContents(folder / "b\\f.txt"), "in a");
  EXPECT_FALSE(Exists(folder / "a"));
}

TEST(CopyFile, FailIfExistsAndOverwrite) {
  struct Case {
    bool targetExists;
    BOOL failIfExists;
    bool succeeds;
    DWORD error;
  };
  const Case cases[] = {
      {false, TRUE, true, 0},
      {false, FALSE, true, 0},
      {true, TRUE, false, ERROR_FILE_EXISTS},
      {true, FALSE, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.targetExists << c.failIfExists);
    TempFolder folder;
    const std::string from = folder / "from.txt";
    const std::string to = folder / "to.txt";
    ASSERT_TRUE(WriteFileBytes(from, "source"));
    if (c.targetExists) {
      ASSERT_TRUE(WriteFileBytes(to, "a longer target"));
    }
    SetLastError(0);
    EXPECT_EQ(CopyFileA(from.c_str(), to.c_str(), c.failIfExists) != FALSE, c.succeeds);
    const DWORD error = GetLastError();
    EXPECT_EQ(tavlen::test::FileContents(from), "source");
    EXPECT_EQ(tavlen::test::FileContents(to), c.succeeds ? "source" : "a longer target");
    if (!c.succeeds) {
      EXPECT_EQ(error, c.error);
    }
  }
}

TEST(CopyFile, Errors) {
  TempFolder folder;
  const std::string from = folder / "from.txt";
  SetLastError(0);
  EXPECT_FALSE(CopyFileA(from.c_str(), (folder / "to.txt").c_str(), FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_TRUE(WriteFileBytes(from, "source"));
  EXPECT_FALSE(CopyFileA(from.c_str(), (folder / "missing\\to.txt").c_str(), FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  // A source locked against reading cannot be copied.
  HANDLE locked = CreateFileA(from.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CopyFileA(from.c_str(), (folder / "copy.txt").c_str(), FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CloseHandle(locked);
}

TEST(CopyFile, ReadOnlyTargetIsNotOverwritten) {
  TempFolder folder;
  SKIP_UNLESS_READ_ONLY_IS_ENFORCED(folder.Path());
  const std::string from = folder / "from.txt";
  ASSERT_TRUE(WriteFileBytes(from, "source"));
  const std::string readOnly = folder / "ro.txt";
  ASSERT_TRUE(WriteFileBytes(readOnly, "keep"));
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(CopyFileA(from.c_str(), readOnly.c_str(), FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(tavlen::test::FileContents(readOnly), "keep");
}

TEST(CopyFile, KeepsReadOnlyAttributeAndWriteTime) {
  TempFolder folder;
  const std::string from = folder / "from.txt";
  ASSERT_TRUE(WriteFileBytes(from, "source"));
  HANDLE file = CreateFileA(from.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME old;
  ASSERT_TRUE(DosDateTimeToFileTime(static_cast<WORD>(((2001 - 1980) << 9) | (2 << 5) | 3), 0, &old));
  ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &old));
  CloseHandle(file);
  ASSERT_TRUE(SetFileAttributesA(from.c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string to = folder / "to.txt";
  ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), TRUE));
  EXPECT_NE(GetFileAttributesA(to.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(to.c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &old), 0);
}

}  // namespace
