// The open routine behind CreateFileA, CopyFileA and CrtOpen.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/file_object.h"
#include "platform/posix/file_sharing.h"

namespace tavlen::posix {

FileObject::~FileObject() {
  if (fd >= 0) close(fd);
}

bool IsReadOnlyMode(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

namespace {

// Opens read-write when the system allows it, so that the descriptor can
// hold the share locks; access is enforced by the handle itself.
int OpenUnix(const std::string& path, int extraFlags, bool read, bool write) {
  int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | extraFlags, 0666);
  if (fd < 0 && errno == EACCES) {
    const int mode = write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY;
    fd = open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | extraFlags, 0666);
  }
  return fd;
}

}  // namespace

int OpenFileDescriptor(const MappedPath& mapped, bool read, bool write, DWORD shareMode, DWORD disposition,
                       DWORD attributes, DWORD& error, bool& existed) {
  const std::string& path = mapped.unixPath;
  struct stat info {};
  existed = stat(path.c_str(), &info) == 0;
  if (existed && S_ISDIR(info.st_mode)) {
    error = ERROR_ACCESS_DENIED;
    return -1;
  }
  if (mapped.windows.trailingSeparator || mapped.IsDriveRoot()) {
    error = mapped.IsDriveRoot() ? ERROR_ACCESS_DENIED : ERROR_INVALID_NAME;
    return -1;
  }
  bool truncate = false;
  switch (disposition) {
    case CREATE_NEW:
      if (existed) {
        error = ERROR_FILE_EXISTS;
        return -1;
      }
      break;
    case CREATE_ALWAYS:
      truncate = existed;
      break;
    case OPEN_EXISTING:
    case OPEN_ALWAYS:
      break;
    case TRUNCATE_EXISTING:
      if (!write) {
        error = ERROR_INVALID_PARAMETER;
        return -1;
      }
      truncate = true;
      break;
    default:
      error = ERROR_INVALID_PARAMETER;
      return -1;
  }
  if (!existed && (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING)) {
    error = ErrorFromErrno(ENOENT, path);
    return -1;
  }
  if (existed && (write || truncate) && IsReadOnlyMode(info.st_mode)) {
    error = ERROR_ACCESS_DENIED;
    return -1;
  }
  const int fd = OpenUnix(path, existed ? 0 : O_CREAT | O_EXCL, read, write || truncate);
  if (fd < 0) {
    error = ErrorFromErrno(errno == EEXIST ? EEXIST : errno, path);
    if (errno == EEXIST) error = disposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_SHARING_VIOLATION;
    return -1;
  }
  error = AcquireShareLocks(fd, read, write, shareMode);
  if (error != ERROR_SUCCESS) {
    close(fd);
    return -1;
  }
  if (truncate && ftruncate(fd, 0) != 0) {
    error = ErrorFromErrno(errno, path);
    close(fd);
    return -1;
  }
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 && (!existed || truncate)) {
    struct stat created {};
    if (fstat(fd, &created) == 0) fchmod(fd, created.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH));
  }
  error = ERROR_SUCCESS;
  return fd;
}

}  // namespace tavlen::posix
