// Linux: Unix time stamps as FILETIME values, and the creation time that
// Linux cannot set, kept in an extended attribute of the file.
#pragma once

#include <sys/stat.h>
#include <time.h>

#include <string>

#include "platform/posix/win_files.h"

namespace tavlen::posix {

FILETIME FileTimeFromUnix(const timespec& time);
timespec UnixFromFileTime(const FILETIME& time);
uint64_t FileTimeValue(const FILETIME& time);
FILETIME MakeFileTime(uint64_t value);

// The creation time: the stored one when the file has it, else the
// last-write time. fd < 0 reads the attribute through path.
FILETIME CreationTimeOf(int fd, const std::string& path, const struct stat& info);
// Stores the creation time; false when the file system keeps no attributes.
bool StoreCreationTime(int fd, const FILETIME& time);

}  // namespace tavlen::posix
