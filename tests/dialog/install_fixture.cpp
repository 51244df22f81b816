// Test helper: sets up an installation of the product through the registry
// calls of the platform (the prefix's registry on Linux, wine's registry for
// the Windows build), so the end-to-end tests need no other tool.
//
//   dialog_install_fixture <installation folder> <manifest URL template> <version a.b.c.d>
#include <cstdio>
#include <string>

#include "platform/win32.h"

namespace {

bool SetValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
  return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s FOLDER URL VERSION\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const std::string url = argv[2];
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (std::sscanf(argv[3], "%u.%u.%u.%u", &a, &b, &c, &d) != 4) return 2;
  // The packed form of the installed version in "cert", little-endian.
  const DWORD packed = (a << 28) | ((b & 0xFF) << 20) | ((c & 0xF) << 16) | (d & 0xFFFF);
  const BYTE cert[4] = {static_cast<BYTE>(packed), static_cast<BYTE>(packed >> 8), static_cast<BYTE>(packed >> 16),
                        static_cast<BYTE>(packed >> 24)};
  CreateDirectoryA(folder.c_str(), nullptr);

  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\TAVLEN\\TAVLEN ACC", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    std::fprintf(stderr, "cannot create the product key\n");
    return 1;
  }
  const bool ok = SetValue(key, "", REG_SZ, folder.c_str(), static_cast<DWORD>(folder.size() + 1)) &&
                  SetValue(key, "updateurl", REG_SZ, url.c_str(), static_cast<DWORD>(url.size() + 1)) &&
                  SetValue(key, "cert", REG_BINARY, cert, sizeof cert);
  RegCloseKey(key);
  if (!ok) std::fprintf(stderr, "cannot write the product values\n");
  return ok ? 0 : 1;
}
