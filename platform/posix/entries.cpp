// Files and folders by name: delete, create and remove folders, attributes.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/file_object.h"
#include "platform/posix/file_sharing.h"

namespace {

// Maps the path; on failure sets the last error and returns false.
bool Map(LPCSTR path, tavlen::posix::MappedPath& mapped) {
  const DWORD error = tavlen::posix::MapWindowsPath(path, mapped);
  if (error == ERROR_SUCCESS) return true;
  SetLastError(error);
  return false;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// stat that falls back to the link itself for a dangling symbolic link.
bool StatEntry(const std::string& path, struct stat& info) {
  return stat(path.c_str(), &info) == 0 || lstat(path.c_str(), &info) == 0;
}

}  // namespace

BOOL DeleteFileA(LPCSTR path) {
  tavlen::posix::MappedPath mapped;
  if (!Map(path, mapped)) return FALSE;
  const std::string& unixPath = mapped.unixPath;
  struct stat info {};
  if (!StatEntry(unixPath, info)) return Fail(tavlen::posix::ErrorFromErrno(errno, unixPath));
  if (S_ISDIR(info.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (mapped.windows.trailingSeparator) return Fail(ERROR_INVALID_NAME);
  if (tavlen::posix::IsReadOnlyMode(info.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (const DWORD error = tavlen::posix::CheckDeleteAllowed(unixPath); error != ERROR_SUCCESS) return Fail(error);
  if (unlink(unixPath.c_str()) != 0) return Fail(tavlen::posix::ErrorFromErrno(errno, unixPath));
  return TRUE;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES /*security*/) {
  tavlen::posix::MappedPath mapped;
  if (!Map(path, mapped)) return FALSE;
  if (mapped.IsDriveRoot()) return Fail(ERROR_ACCESS_DENIED);
  if (mkdir(mapped.unixPath.c_str(), 0777) != 0) {
    // mkdir reports a missing parent as ENOENT: that is Windows' error 3.
    return Fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : tavlen::posix::ErrorFromErrno(errno, mapped.unixPath));
  }
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR path) {
  tavlen::posix::MappedPath mapped;
  if (!Map(path, mapped)) return FALSE;
  if (mapped.IsDriveRoot()) return Fail(ERROR_ACCESS_DENIED);
  const std::string& unixPath = mapped.unixPath;
  struct stat info {};
  if (lstat(unixPath.c_str(), &info) != 0) return Fail(tavlen::posix::ErrorFromErrno(errno, unixPath));
  if (!S_ISDIR(info.st_mode)) return Fail(ERROR_DIRECTORY);
  if (rmdir(unixPath.c_str()) != 0) {
    return Fail(errno == EEXIST ? ERROR_DIR_NOT_EMPTY : tavlen::posix::ErrorFromErrno(errno, unixPath));
  }
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR path) {
  tavlen::posix::MappedPath mapped;
  if (!Map(path, mapped)) return INVALID_FILE_ATTRIBUTES;
  struct stat info {};
  if (!StatEntry(mapped.unixPath, info)) {
    SetLastError(tavlen::posix::ErrorFromErrno(errno, mapped.unixPath));
    return INVALID_FILE_ATTRIBUTES;
  }
  const bool folder = S_ISDIR(info.st_mode);
  if (!folder && mapped.windows.trailingSeparator) {
    SetLastError(ERROR_INVALID_NAME);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (tavlen::posix::IsReadOnlyMode(info.st_mode)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) {
  tavlen::posix::MappedPath mapped;
  if (!Map(path, mapped)) return FALSE;
  struct stat info {};
  if (stat(mapped.unixPath.c_str(), &info) != 0) return Fail(tavlen::posix::ErrorFromErrno(errno, mapped.unixPath));
  mode_t mode = info.st_mode & 07777;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  } else if (tavlen::posix::IsReadOnlyMode(info.st_mode)) {
    mode |= S_IWUSR;
  }
  if (mode != (info.st_mode & 07777) && chmod(mapped.unixPath.c_str(), mode) != 0) {
    return Fail(tavlen::posix::ErrorFromErrno(errno, mapped.unixPath));
  }
  return TRUE;
}
