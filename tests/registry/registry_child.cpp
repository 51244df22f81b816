// Helper program for the registry database tests: writes values one call at
// a time, reporting each committed write on stdout, or reports the error
// codes the calls give for the current prefix.
//   registry_child write KEY PREFIX COUNT   values PREFIX0.. as REG_DWORD i
//   registry_child codes KEY                "open create" error codes
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/win_registry.h"

namespace {

int Write(const char* path, const char* prefix, long count) {
  HKEY key = nullptr;
  if (LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)) {
    std::printf("error %ld\n", static_cast<long>(error));
    return 2;
  }
  for (long i = 0; i < count; ++i) {
    const std::string name = prefix + std::to_string(i);
    const DWORD value = static_cast<DWORD>(i);
    if (LONG error = RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4)) {
      std::printf("error %ld\n", static_cast<long>(error));
      return 2;
    }
    // Printed only once the write has returned, so it is committed.
    std::printf("%ld\n", i);
    std::fflush(stdout);
  }
  RegCloseKey(key);
  return 0;
}

int Codes(const char* path) {
  HKEY key = nullptr;
  const LONG open = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
  if (open == ERROR_SUCCESS) RegCloseKey(key);
  const LONG create = RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (create == ERROR_SUCCESS) RegCloseKey(key);
  std::printf("%ld %ld\n", static_cast<long>(open), static_cast<long>(create));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "write") == 0) return Write(argv[2], argv[3], std::atol(argv[4]));
  if (argc == 3 && std::strcmp(argv[1], "codes") == 0) return Codes(argv[2]);
  std::fprintf(stderr, "usage: registry_child write KEY PREFIX COUNT | codes KEY\n");
  return 1;
}
