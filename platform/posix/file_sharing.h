// Linux: Windows' share modes across threads and processes.
//
// Every open handle holds shared open-file-description locks (F_OFD_SETLK)
// on single bytes far beyond any real file data: one byte for each access it
// has (read, write) and one for each share right it withholds (read, write,
// delete). A new open fails with ERROR_SHARING_VIOLATION when another handle
// withholds an access it asks for, or has an access it withholds; a delete or
// rename fails when any handle withholds FILE_SHARE_DELETE. Locks vanish
// when the descriptor is closed, also when a process dies. The test and the
// lock are two steps, so two opens racing in the same instant may both win.
#pragma once

#include <string>

#include "platform/posix/win_base.h"

namespace tavlen::posix {

// Checks the share rules for a new descriptor and takes its locks.
// 0 or ERROR_SHARING_VIOLATION. The descriptor must be open for reading to
// hold locks; without that the open is checked but holds none.
DWORD AcquireShareLocks(int fd, bool read, bool write, DWORD shareMode);

// 0 when no open handle forbids deleting or renaming the file.
DWORD CheckDeleteAllowed(const std::string& unixPath);

}  // namespace tavlen::posix
