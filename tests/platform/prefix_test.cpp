// The Linux prefix itself: drive folders, lookup without regard to case,
// UTF-8 names on disk, the module path, and share locks held by another
// process. There is no prefix on Windows, so these run on Linux only.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/posix/path_map.h"
#include "platform/posix/prefix.h"
#include "platform/win32.h"
#include "tests/support/temp_folder.h"

namespace {

using tavlen::posix::MapWindowsPath;
using tavlen::posix::MappedPath;
using tavlen::posix::PrefixFolder;
using tavlen::posix::UnixToWindowsPath;

std::string Mapped(const std::string& windows, DWORD* error = nullptr) {
  MappedPath mapped;
  const DWORD result = MapWindowsPath(windows.c_str(), mapped);
  if (error != nullptr) *error = result;
  return result == ERROR_SUCCESS ? mapped.unixPath : std::string();
}

bool UnixExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

TEST(Prefix, DriveLetters) {
  const std::string driveC = PrefixFolder() + "/drive_c";
  EXPECT_EQ(Mapped("C:\\"), driveC);
  EXPECT_EQ(Mapped("c:/x/y"), driveC + "/x/y");
  EXPECT_EQ(Mapped("Z:\\tmp"), "/tmp");
  EXPECT_EQ(Mapped("Z:\\"), "/");
  EXPECT_EQ(Mapped("C:\\a\\..\\..\\b"), driveC + "/b");
  DWORD error = 0;
  EXPECT_EQ(Mapped("Q:\\x", &error), "");
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  mkdir((PrefixFolder() + "/drive_d").c_str(), 0755);
  EXPECT_EQ(Mapped("D:\\x"), PrefixFolder() + "/drive_d/x");
  EXPECT_EQ(Mapped("\\\\server\\share\\x", &error), "");
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_BAD_NETPATH));
  EXPECT_EQ(Mapped("C:\\a|b", &error), "");
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_NAME));
}

TEST(Prefix, UnixToWindows) {
  EXPECT_EQ(UnixToWindowsPath(PrefixFolder() + "/drive_c"), "C:\\");
  EXPECT_EQ(UnixToWindowsPath(PrefixFolder() + "/drive_c/windows/x.dll"), "C:\\windows\\x.dll");
  EXPECT_EQ(UnixToWindowsPath("/usr/bin/env"), "Z:\\usr\\bin\\env");
  EXPECT_EQ(UnixToWindowsPath("/"), "Z:\\");
  // A folder that only begins like drive_c is not drive C.
  EXPECT_EQ(UnixToWindowsPath(PrefixFolder() + "/drive_cx").substr(0, 3), "Z:\\");
}

TEST(Prefix, ComponentsResolveWithoutRegardToCase) {
  const std::string driveC = PrefixFolder() + "/drive_c";
  ASSERT_EQ(mkdir((driveC + "/MixedCase").c_str(), 0755), 0);
  std::ofstream(driveC + "/MixedCase/File.TXT") << "data";
  EXPECT_EQ(Mapped("C:\\mixedcase\\file.txt"), driveC + "/MixedCase/File.TXT");
  std::string bytes;
  EXPECT_TRUE(tavlen::test::ReadFileBytes("C:\\MIXEDCASE\\FILE.txt", bytes));
  EXPECT_EQ(bytes, "data");
  // A new file keeps the case it is given, inside the folder that matched.
  ASSERT_TRUE(tavlen::test::WriteFileBytes("C:\\mixedCASE\\New.txt", "n"));
  EXPECT_TRUE(UnixExists(driveC + "/MixedCase/New.txt"));
  // Two entries that differ only in case: neither is chosen for a third spelling.
  std::ofstream(driveC + "/MixedCase/dup") << "1";
  std::ofstream(driveC + "/MixedCase/DUP") << "2";
  EXPECT_EQ(GetFileAttributesA("C:\\MixedCase\\Dup"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(tavlen::test::ReadFileBytes("C:\\MixedCase\\DUP", bytes));
  EXPECT_EQ(bytes, "2");
}

TEST(Prefix, NamesAreUtf8OnDisk) {
  const std::string driveC = PrefixFolder() + "/drive_c";
  ASSERT_TRUE(tavlen::test::WriteFileBytes("C:\\中文昞.txt", "x"));
  EXPECT_TRUE(UnixExists(driveC + reinterpret_cast<const char*>(u8"/中文昞.txt")));
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA("C:\\*.txt", &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  EXPECT_EQ(std::string(data.cFileName), "中文昞.txt");
}

TEST(Prefix, ModulePathIsTheExecutableInWindowsForm) {
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, path, sizeof path), 0u);
  char target[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", target, sizeof target - 1), 0);
  std::string expected = std::string("Z:") + target;
  for (char& c : expected) {
    if (c == '/') c = '\\';
  }
  EXPECT_EQ(std::string(path), expected);
}

TEST(Prefix, WindowsFoldersAreCreated) {
  char folder[MAX_PATH];
  ASSERT_EQ(GetSystemDirectoryA(folder, sizeof folder), 19u);
  EXPECT_STREQ(folder, "C:\\windows\\system32");
  EXPECT_TRUE(UnixExists(PrefixFolder() + "/drive_c/windows/system32"));
}

TEST(Prefix, UnixTempVariableIsShownInWindowsForm) {
  const char* saved = std::getenv("TEMP");
  const std::string savedValue = saved != nullptr ? saved : "";
  setenv("TEMP", "/var/tmp", 1);
  char value[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableA("TEMP", value, sizeof value), 0u);
  EXPECT_STREQ(value, "Z:\\var\\tmp");
  if (saved != nullptr) {
    setenv("TEMP", savedValue.c_str(), 1);
  } else {
    unsetenv("TEMP");
  }
}

TEST(Prefix, ReadOnlyHoldsEvenForRoot) {
  tavlen::test::TempFolder folder;
  const std::string path = folder / "ro.txt";
  ASSERT_TRUE(tavlen::test::WriteFileBytes(path, "x"));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  struct stat info {};
  ASSERT_EQ(stat(Mapped(path).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0222, 0u);
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(Prefix, LocksHeldByAnotherProcess) {
  tavlen::test::TempFolder folder;
  const std::string path = folder / "locked.txt";
  ASSERT_TRUE(tavlen::test::WriteFileBytes(path, "x"));
  int ready[2];
  int release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const char status = file != INVALID_HANDLE_VALUE ? 'y' : 'n';
    (void)!write(ready[1], &status, 1);
    char ignored;
    (void)!read(release[0], &ignored, 1);
    _exit(0);
  }
  char status = 0;
  ASSERT_EQ(read(ready[0], &status, 1), 1);
  ASSERT_EQ(status, 'y');
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  // The lock ends with the process that held it.
  ASSERT_EQ(write(release[1], "x", 1), 1);
  int exitStatus = 0;
  waitpid(child, &exitStatus, 0);
  EXPECT_TRUE(DeleteFileA(path.c_str()));
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
}

TEST(Prefix, MoveAcrossFileSystems) {
  struct stat shm {};
  struct stat prefix {};
  if (stat("/dev/shm", &shm) != 0 || stat(PrefixFolder().c_str(), &prefix) != 0 || shm.st_dev == prefix.st_dev) {
    GTEST_SKIP() << "/dev/shm is not a file system of its own here";
  }
  const std::string source = "/dev/shm/tavlen-move-" + std::to_string(getpid());
  std::ofstream(source) << "moved";
  const std::string from = UnixToWindowsPath(source);
  EXPECT_FALSE(MoveFileExA(from.c_str(), "C:\\moved.txt", 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SAME_DEVICE));
  ASSERT_TRUE(MoveFileExA(from.c_str(), "C:\\moved.txt", MOVEFILE_COPY_ALLOWED));
  EXPECT_FALSE(UnixExists(source));
  std::string bytes;
  EXPECT_TRUE(tavlen::test::ReadFileBytes("C:\\moved.txt", bytes));
  EXPECT_EQ(bytes, "moved");
}

}  // namespace
