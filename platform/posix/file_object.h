// Linux: the kernel object behind a file HANDLE and the one open routine
// that CreateFileA, CopyFileA and the C runtime's streams share.
#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/posix/path_map.h"
#include "platform/posix/win_files.h"

namespace tavlen::posix {

struct FileObject : KernelObject {
  int fd = -1;
  bool canRead = false;
  bool canWrite = false;
  std::string unixPath;
  ~FileObject() override;
};

// True when the entry has no write permission bit: the read-only attribute.
bool IsReadOnlyMode(mode_t mode);

// Opens mapped as CreateFileA does (disposition, read-only refusal, share
// rules; new files get the read-only attribute when asked). Returns the
// descriptor, or -1 with the Win32 error in error. existed tells whether the
// file was there before.
int OpenFileDescriptor(const MappedPath& mapped, bool read, bool write, DWORD shareMode, DWORD disposition,
                       DWORD attributes, DWORD& error, bool& existed);

}  // namespace tavlen::posix
