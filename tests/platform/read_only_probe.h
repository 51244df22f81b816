// Whether the platform refuses to open a read-only file for writing.
// Windows and the Linux layer always do; wine run as root (as in CI) does
// not, because it opens files with the caller's Unix rights. Tests of that
// refusal skip themselves only there.
#pragma once

#include <string>

#include "platform/win32.h"

namespace tavlen::test {

inline bool ReadOnlyIsEnforced(const std::string& folder) {
#ifdef _WIN32
  const std::string probe = folder + "\\read-only-probe";
  HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return true;
  CloseHandle(file);
  SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY);
  file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool enforced = file == INVALID_HANDLE_VALUE;
  if (!enforced) CloseHandle(file);
  SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(probe.c_str());
  return enforced;
#else
  (void)folder;
  return true;
#endif
}

}  // namespace tavlen::test

#define SKIP_UNLESS_READ_ONLY_IS_ENFORCED(folder)                                                    \
  if (!tavlen::test::ReadOnlyIsEnforced(folder)) {                                                   \
    GTEST_SKIP() << "wine running as root ignores the read-only attribute when opening for writing"; \
  }
