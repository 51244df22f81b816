// Files and folders by name and by handle: dispositions, attributes, the
// read-only rule, sharing, folder error codes and over-long paths.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/platform/read_only_probe.h"
#include "tests/support/temp_folder.h"

namespace {

using tavlen::test::ReadFileBytes;
using tavlen::test::TempFolder;
using tavlen::test::WriteFileBytes;

HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The last error of a call that must fail.
template <typename Call>
DWORD ErrorOf(Call call) {
  SetLastError(0);
  EXPECT_FALSE(call());
  return GetLastError();
}

TEST(Files, DispositionsOnExistingAndMissingFiles) {
  TempFolder folder;
  const std::string existing = folder / "existing.txt";
  ASSERT_TRUE(WriteFileBytes(existing, "old data"));
  struct Case {
    DWORD disposition;
    bool onExisting;
    bool opens;
    DWORD error;         // last error after the call
    const char* result;  // contents afterwards ("" when missing)
  };
  const Case cases[] = {
      {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old data"},
      {CREATE_NEW, false, true, ERROR_SUCCESS, ""},
      {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
      {CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
      {OPEN_EXISTING, true, true, ERROR_SUCCESS, "old data"},
      {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
      {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old data"},
      {OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
      {TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
      {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "disposition " << c.disposition << (c.onExisting ? " existing" : " missing"));
    const std::string path = c.onExisting ? existing : folder / "new.txt";
    if (c.onExisting) {
      ASSERT_TRUE(WriteFileBytes(path, "old data"));
    }
    SetLastError(12345);
    HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE, 0, c.disposition);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.opens);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    std::string bytes;
    EXPECT_EQ(ReadFileBytes(path, bytes), c.result != nullptr);
    if (c.result != nullptr) {
      EXPECT_EQ(bytes, c.result);
    }
    if (!c.onExisting) DeleteFileA(path.c_str());
  }
}

TEST(Files, MissingFolderIsPathNotFound) {
  TempFolder folder;
  EXPECT_EQ(Open(folder / "no\\such.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(Open(folder / "no\\such.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(Files, ReadWriteSeekAndSize) {
  TempFolder folder;
  const std::string path = folder / "data.bin";
  HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(file, "0123456789", 10, &done, nullptr));
  EXPECT_EQ(done, 10u);
  DWORD high = 7;
  EXPECT_EQ(GetFileSize(file, &high), 10u);
  EXPECT_EQ(high, 0u);
  EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
  char buffer[16] = {};
  ASSERT_TRUE(ReadFile(file, buffer, 3, &done, nullptr));
  EXPECT_EQ(std::string(buffer, done), "456");
  EXPECT_EQ(SetFilePointer(file, -2, nullptr, FILE_END), 8u);
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(std::string(buffer, done), "89");
  // At the end a read succeeds with nothing.
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(SetFilePointer(file, 5, nullptr, FILE_BEGIN), 5u);
  ASSERT_TRUE(SetEndOfFile(file));
  EXPECT_EQ(GetFileSize(file, nullptr), 5u);
  EXPECT_TRUE(FlushFileBuffers(file));
  ASSERT_TRUE(CloseHandle(file));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, "01234");
}

TEST(Files, AccessIsCheckedPerHandle) {
  TempFolder folder;
  const std::string path = folder / "a.txt";
  ASSERT_TRUE(WriteFileBytes(path, "abc"));
  HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  EXPECT_EQ(ErrorOf([&] { return WriteFile(reader, "x", 1, &done, nullptr); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(reader);
  HANDLE writer = Open(path, GENERIC_WRITE, 0, OPEN_EXISTING);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  char c = 0;
  EXPECT_EQ(ErrorOf([&] { return ReadFile(writer, &c, 1, &done, nullptr); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(writer);
}

TEST(Files, AttributesOfFilesAndFolders) {
  TempFolder folder;
  const std::string file = folder / "f.txt";
  ASSERT_TRUE(WriteFileBytes(file, "x"));
  EXPECT_EQ(GetFileAttributesA(file.c_str()) & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY), 0u);
  EXPECT_NE(GetFileAttributesA(folder.Path().c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  // A folder may be named with a trailing backslash.
  EXPECT_NE(GetFileAttributesA((folder.Path() + "\\").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_NE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(GetFileAttributesA((folder / "missing").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA((folder / "missing\\x").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(ErrorOf([&] { return SetFileAttributesA((folder / "missing").c_str(), FILE_ATTRIBUTE_NORMAL); }),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(Files, ReadOnlyFileRefusesWritingAndDeleting) {
  TempFolder folder;
  SKIP_UNLESS_READ_ONLY_IS_ENFORCED(folder.Path());
  const std::string path = folder / "ro.txt";
  ASSERT_TRUE(WriteFileBytes(path, "keep"));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  for (DWORD disposition : {OPEN_EXISTING, CREATE_ALWAYS, TRUNCATE_EXISTING, OPEN_ALWAYS}) {
    SCOPED_TRACE(disposition);
    EXPECT_EQ(Open(path, GENERIC_WRITE, 0, disposition), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
  EXPECT_EQ(ErrorOf([&] { return DeleteFileA(path.c_str()); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  CloseHandle(reader);
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, "keep");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(Files, SharingRules) {
  TempFolder folder;
  const std::string path = folder / "shared.txt";
  ASSERT_TRUE(WriteFileBytes(path, "x"));
  struct Case {
    DWORD firstAccess, firstShare, secondAccess, secondShare;
    bool secondOpens;
    bool deletable;  // DeleteFileA while the first handle is open
  };
  const DWORD rw = GENERIC_READ | GENERIC_WRITE;
  const Case cases[] = {
      {GENERIC_READ, 0, GENERIC_READ, FILE_SHARE_READ, false, false},
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, true, false},
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_WRITE, FILE_SHARE_READ, false, false},
      // The second open may not deny writing to a handle that writes.
      {rw, FILE_SHARE_READ | FILE_SHARE_WRITE, GENERIC_READ, FILE_SHARE_READ, false, false},
      {rw, FILE_SHARE_READ | FILE_SHARE_WRITE, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true, false},
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, true,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.firstAccess << "/" << c.firstShare << " then " << c.secondAccess << "/"
                                    << c.secondShare);
    ASSERT_TRUE(WriteFileBytes(path, "x"));
    HANDLE first = Open(path, c.firstAccess, c.firstShare, OPEN_EXISTING);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    HANDLE second = Open(path, c.secondAccess, c.secondShare, OPEN_EXISTING);
    EXPECT_EQ(second != INVALID_HANDLE_VALUE, c.secondOpens);
    if (second == INVALID_HANDLE_VALUE) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    } else {
      CloseHandle(second);
    }
    SetLastError(0);
    EXPECT_EQ(DeleteFileA(path.c_str()) != FALSE, c.deletable);
    if (!c.deletable) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    CloseHandle(first);
  }
  // Once every handle is closed the file can be deleted.
  ASSERT_TRUE(WriteFileBytes(path, "x"));
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(Files, DeleteFileErrors) {
  TempFolder folder;
  EXPECT_EQ(ErrorOf([&] { return DeleteFileA((folder / "missing").c_str()); }),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ErrorOf([&] { return DeleteFileA((folder / "missing\\x").c_str()); }),
            static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  ASSERT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
  EXPECT_EQ(ErrorOf([&] { return DeleteFileA((folder / "sub").c_str()); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Open(folder / "sub", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(Folders, CreateAndRemoveErrorCodes) {
  TempFolder folder;
  const std::string sub = folder / "sub";
  ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  EXPECT_EQ(ErrorOf([&] { return CreateDirectoryA(sub.c_str(), nullptr); }), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(ErrorOf([&] { return CreateDirectoryA((folder / "a\\b").c_str(), nullptr); }),
            static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  ASSERT_TRUE(WriteFileBytes(sub + "\\f.txt", "x"));
  // A file of that name counts as existing too.
  EXPECT_EQ(ErrorOf([&] { return CreateDirectoryA((sub + "\\f.txt").c_str(), nullptr); }),
            static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(ErrorOf([&] { return RemoveDirectoryA(sub.c_str()); }), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_EQ(ErrorOf([&] { return RemoveDirectoryA((sub + "\\f.txt").c_str()); }), static_cast<DWORD>(ERROR_DIRECTORY));
  EXPECT_EQ(ErrorOf([&] { return RemoveDirectoryA((folder / "missing").c_str()); }),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ErrorOf([&] { return RemoveDirectoryA((folder / "missing\\x").c_str()); }),
            static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  ASSERT_TRUE(DeleteFileA((sub + "\\f.txt").c_str()));
  EXPECT_TRUE(RemoveDirectoryA(sub.c_str()));
  EXPECT_FALSE(tavlen::test::Exists(sub));
}

TEST(Paths, SlashesDotsAndRelativeNames) {
  TempFolder folder;
  ASSERT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
  // Forward slashes, "." and ".." name the same file.
  ASSERT_TRUE(WriteFileBytes(folder.Path() + "/sub/./x.txt", "slash"));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(folder / "sub\\..\\sub\\x.txt", bytes));
  EXPECT_EQ(bytes, "slash");

  char saved[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryA(sizeof saved, saved), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
  EXPECT_TRUE(ReadFileBytes("sub\\x.txt", bytes));
  char full[MAX_PATH];
  char* name = nullptr;
  const DWORD length = GetFullPathNameA("sub\\x.txt", sizeof full, full, &name);
  ASSERT_TRUE(SetCurrentDirectoryA(saved));
  EXPECT_EQ(std::string(full), folder / "sub\\x.txt");
  EXPECT_EQ(length, (folder / "sub\\x.txt").size());
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name, "x.txt");
}

TEST(Paths, FullPathKeepsDoubleByteCharacters) {
  // The trail byte 5C of 昞 is not a separator.
  char full[MAX_PATH];
  char* name = nullptr;
  ASSERT_EQ(GetFullPathNameA("C:\\dir\\a昞\\..\\b昞", sizeof full, full, &name), 10u);
  EXPECT_EQ(std::string(full), "C:\\dir\\b昞");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(std::string(name), "b昞");
}

TEST(Paths, BufferSizesOfPathQueries) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA("C:\\a\\b\\..\\c", sizeof full, full, nullptr);
  EXPECT_EQ(std::string(full), "C:\\a\\c");
  EXPECT_EQ(length, 6u);
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetFullPathNameA("C:\\a\\c", sizeof small, small, nullptr), 7u);
  char temp[MAX_PATH];
  const DWORD tempLength = GetTempPathA(sizeof temp, temp);
  ASSERT_GT(tempLength, 3u);
  EXPECT_EQ(temp[tempLength - 1], '\\');
  EXPECT_EQ(GetTempPathA(2, small), tempLength + 1);
  const DWORD current = GetCurrentDirectoryA(0, nullptr);
  EXPECT_GT(current, 3u);
  EXPECT_EQ(GetCurrentDirectoryA(sizeof full, full), current - 1);
}

TEST(Paths, TooLongPathsAreRefused) {
  TempFolder folder;
  // 260 bytes or more never fit the Win32 buffers: every call refuses them.
  const std::string base = folder.Path() + "\\";
  const std::string longPath = base + std::string(MAX_PATH - base.size(), 'a');
  ASSERT_EQ(longPath.size(), static_cast<size_t>(MAX_PATH));
  const std::string longerPath = longPath + "\\" + std::string(300, 'b');
#ifdef _WIN32
  // wine accepts a path of exactly 260 bytes that Windows refuses.
  for (const std::string& path : {longerPath}) {
#else
  for (const std::string& path : {longPath, longerPath}) {
#endif
    SCOPED_TRACE(path.size());
    SetLastError(0);
    EXPECT_EQ(Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    const DWORD createError = GetLastError();
    EXPECT_TRUE(createError == ERROR_FILENAME_EXCED_RANGE || createError == ERROR_PATH_NOT_FOUND) << createError;
    EXPECT_FALSE(CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA(path.c_str(), &data), INVALID_HANDLE_VALUE);
  }
  // 259 bytes still fit.
  const std::string fits = longPath.substr(0, MAX_PATH - 1);
  EXPECT_TRUE(WriteFileBytes(fits, "fits"));
  EXPECT_TRUE(DeleteFileA(fits.c_str()));
}

}  // namespace
