// Registry key paths as reg.exe and .reg files write them: a root name
// (full, such as HKEY_LOCAL_MACHINE, or short, such as HKLM; any letter
// case) and the path below it.
#pragma once

#include <string>

#include "platform/win32.h"

namespace tavlen::reg {

struct KeyPath {
  HKEY root = nullptr;
  std::string rootName;  // the full name, e.g. HKEY_LOCAL_MACHINE
  std::string subKey;    // below the root, without leading or trailing backslashes

  // The full name: root name, backslash and sub key.
  std::string FullName() const { return subKey.empty() ? rootName : rootName + "\\" + subKey; }
};

// Splits "HKLM\Software\X"; false when the root is not one of the five.
bool ParseKeyPath(const std::string& text, KeyPath& path);

}  // namespace tavlen::reg
