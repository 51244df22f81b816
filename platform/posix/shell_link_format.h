// Linux: the .lnk file format (the published Shell Link binary file format),
// for the fields the shell link object keeps. Internal to the shell area.
#pragma once

#include <cstdint>
#include <string>

#include "platform/posix/win_files.h"

namespace tavlen::posix {

// The fields of a shortcut; texts are code page 936.
struct ShellLinkData {
  std::string target;  // a Windows path
  std::string description;
  std::string arguments;
  std::string iconFile;
  int32_t iconIndex = 0;
  // Facts about the target copied into the header, as Windows does.
  DWORD targetAttributes = 0;
  uint32_t targetSize = 0;
  FILETIME creationTime{};
  FILETIME accessTime{};
  FILETIME writeTime{};
};

// The bytes of a .lnk file: header, link information with the target as a
// local base path (code page 936 and Unicode), the non-empty texts as
// Unicode string data, no extra data.
std::string EncodeShellLink(const ShellLinkData& link);

// Reads a .lnk file written by any writer of the format: the target from
// its link information (local base path or network share, with the common
// path suffix), texts in Unicode or in the ANSI code page. The item-ID list
// and extra data blocks are skipped. False for anything that is not a
// well-formed shell link; nothing is read beyond the bytes given.
bool DecodeShellLink(const std::string& bytes, ShellLinkData& link);

}  // namespace tavlen::posix
