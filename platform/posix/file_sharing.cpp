#include "platform/posix/file_sharing.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/win_files.h"

namespace tavlen::posix {

namespace {

// Far beyond any file the agent writes, so real data never meets the locks.
constexpr off_t kLockBase = static_cast<off_t>(0x7FFFFFFF00000000LL);
enum LockByte : off_t { kAccessRead = 0, kAccessWrite, kDenyRead, kDenyWrite, kDenyDelete };

// True when another open file description holds a lock on the byte.
bool IsHeld(int fd, LockByte byte) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = kLockBase + byte;
  lock.l_len = 1;
  if (fcntl(fd, F_OFD_GETLK, &lock) != 0) return false;
  return lock.l_type != F_UNLCK;
}

void Hold(int fd, LockByte byte) {
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = kLockBase + byte;
  lock.l_len = 1;
  fcntl(fd, F_OFD_SETLK, &lock);
}

}  // namespace

DWORD AcquireShareLocks(int fd, bool read, bool write, DWORD shareMode) {
  const bool shareRead = (shareMode & FILE_SHARE_READ) != 0;
  const bool shareWrite = (shareMode & FILE_SHARE_WRITE) != 0;
  const bool shareDelete = (shareMode & FILE_SHARE_DELETE) != 0;
  if ((read && IsHeld(fd, kDenyRead)) || (write && IsHeld(fd, kDenyWrite)) ||
      (!shareRead && IsHeld(fd, kAccessRead)) || (!shareWrite && IsHeld(fd, kAccessWrite))) {
    return ERROR_SHARING_VIOLATION;
  }
  if (read) Hold(fd, kAccessRead);
  if (write) Hold(fd, kAccessWrite);
  if (!shareRead) Hold(fd, kDenyRead);
  if (!shareWrite) Hold(fd, kDenyWrite);
  if (!shareDelete) Hold(fd, kDenyDelete);
  return ERROR_SUCCESS;
}

DWORD CheckDeleteAllowed(const std::string& unixPath) {
  const int fd = open(unixPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return ERROR_SUCCESS;
  const bool held = IsHeld(fd, kDenyDelete);
  close(fd);
  return held ? ERROR_SHARING_VIOLATION : ERROR_SUCCESS;
}

}  // namespace tavlen::posix
