// CopyFileA and MoveFileExA.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/file_object.h"
#include "platform/posix/file_sharing.h"
#include "platform/posix/win_cp936.h"

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

bool Map(LPCSTR path, tavlen::posix::MappedPath& mapped, DWORD& error) {
  error = tavlen::posix::MapWindowsPath(path, mapped);
  return error == ERROR_SUCCESS;
}

// Copies the data of an open source into the target path with the share
// rules of CopyFileA: the source may be read by others, the target is held
// alone while it is written. A target that cannot be completed is removed.
DWORD CopyData(const tavlen::posix::MappedPath& from, const tavlen::posix::MappedPath& to, bool failIfExists) {
  DWORD error = ERROR_SUCCESS;
  bool existed = false;
  const int source = tavlen::posix::OpenFileDescriptor(from, true, false, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                                       OPEN_EXISTING, 0, error, existed);
  if (source < 0) return error;
  struct stat info {};
  fstat(source, &info);
  const int target = tavlen::posix::OpenFileDescriptor(to, false, true, 0, failIfExists ? CREATE_NEW : CREATE_ALWAYS,
                                                       0, error, existed);
  if (target < 0) {
    close(source);
    return error == ERROR_FILE_EXISTS && !failIfExists ? ERROR_ALREADY_EXISTS : error;
  }
  char buffer[65536];
  while (error == ERROR_SUCCESS) {
    const ssize_t got = read(source, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = ERROR_READ_FAULT;
      break;
    }
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(target, buffer + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        error = errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT;
        break;
      }
      done += put;
    }
  }
  if (error == ERROR_SUCCESS) {
    // The copy keeps the last-write time and the read-only attribute.
    const timespec times[2] = {info.st_atim, info.st_mtim};
    futimens(target, times);
    struct stat written {};
    if (tavlen::posix::IsReadOnlyMode(info.st_mode) && fstat(target, &written) == 0) {
      fchmod(target, written.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH));
    }
  }
  close(source);
  close(target);
  if (error != ERROR_SUCCESS) unlink(to.unixPath.c_str());
  return error;
}

}  // namespace

BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists) {
  tavlen::posix::MappedPath source;
  tavlen::posix::MappedPath target;
  DWORD error = ERROR_SUCCESS;
  if (!Map(from, source, error) || !Map(to, target, error)) return Fail(error);
  struct stat sourceInfo {};
  struct stat targetInfo {};
  if (stat(source.unixPath.c_str(), &sourceInfo) == 0 && stat(target.unixPath.c_str(), &targetInfo) == 0 &&
      sourceInfo.st_dev == targetInfo.st_dev && sourceInfo.st_ino == targetInfo.st_ino) {
    // Copying a file onto itself would truncate it before reading.
    return Fail(failIfExists ? ERROR_FILE_EXISTS : ERROR_SHARING_VIOLATION);
  }
  error = CopyData(source, target, failIfExists != FALSE);
  if (error != ERROR_SUCCESS) return Fail(error);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  tavlen::posix::MappedPath source;
  tavlen::posix::MappedPath target;
  DWORD error = ERROR_SUCCESS;
  if (!Map(from, source, error) || !Map(to, target, error)) return Fail(error);
  if (source.IsDriveRoot() || target.IsDriveRoot()) return Fail(ERROR_ACCESS_DENIED);
  struct stat sourceInfo {};
  if (lstat(source.unixPath.c_str(), &sourceInfo) != 0) {
    return Fail(tavlen::posix::ErrorFromErrno(errno, source.unixPath));
  }
  const bool sourceIsFolder = S_ISDIR(sourceInfo.st_mode);
  if (!sourceIsFolder) {
    if (const DWORD shared = tavlen::posix::CheckDeleteAllowed(source.unixPath); shared != ERROR_SUCCESS) {
      return Fail(shared);
    }
  }
  std::string targetPath = target.unixPath;
  struct stat targetInfo {};
  if (lstat(targetPath.c_str(), &targetInfo) == 0) {
    if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) {
      // The same entry: a rename that changes only the case of the name.
      const auto slash = targetPath.find_last_of('/');
      targetPath = targetPath.substr(0, slash + 1) + tavlen::posix::AnsiToUtf8(target.windows.components.back());
      if (rename(source.unixPath.c_str(), targetPath.c_str()) != 0) {
        return Fail(tavlen::posix::ErrorFromErrno(errno, targetPath));
      }
      return TRUE;
    }
    if ((flags & MOVEFILE_REPLACE_EXISTING) == 0) return Fail(ERROR_ALREADY_EXISTS);
    if (S_ISDIR(targetInfo.st_mode) || sourceIsFolder || tavlen::posix::IsReadOnlyMode(targetInfo.st_mode)) {
      return Fail(ERROR_ACCESS_DENIED);
    }
    if (const DWORD shared = tavlen::posix::CheckDeleteAllowed(targetPath); shared != ERROR_SUCCESS) {
      return Fail(ERROR_ACCESS_DENIED);
    }
  }
  const bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
  int result = replace ? rename(source.unixPath.c_str(), targetPath.c_str())
                       : renameat2(AT_FDCWD, source.unixPath.c_str(), AT_FDCWD, targetPath.c_str(), RENAME_NOREPLACE);
  if (result != 0 && !replace && errno == EINVAL) {
    // A file system without RENAME_NOREPLACE: the target was checked above.
    result = rename(source.unixPath.c_str(), targetPath.c_str());
  }
  if (result == 0) return TRUE;
  if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
  if (errno != EXDEV) return Fail(tavlen::posix::ErrorFromErrno(errno, targetPath));
  if ((flags & MOVEFILE_COPY_ALLOWED) == 0 || sourceIsFolder) return Fail(ERROR_NOT_SAME_DEVICE);
  // Another file system: copy, then delete the source.
  if (const DWORD copied = CopyData(source, target, !replace); copied != ERROR_SUCCESS) {
    return Fail(copied == ERROR_FILE_EXISTS ? ERROR_ALREADY_EXISTS : copied);
  }
  if (unlink(source.unixPath.c_str()) != 0) {
    const DWORD removeError = tavlen::posix::ErrorFromErrno(errno, source.unixPath);
    unlink(targetPath.c_str());
    return Fail(removeError);
  }
  return TRUE;
}

BOOL MoveFileA(LPCSTR from, LPCSTR to) { return MoveFileExA(from, to, MOVEFILE_COPY_ALLOWED); }
