#include "manifest/version_number.h"

#include <cstdio>
#include <vector>

#include "platform/registry_key.h"
#include "update/install_context.h"

const char* const kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TAVLEN ACC";

namespace {

// Reads up to four numbers as "%u.%u.%u.%u" does; numbers that the text does
// not provide count as 0, so an empty version is 0.0.0.0 and the oldest.
void ScanVersion(const std::string& text, unsigned parts[4]) {
  parts[0] = parts[1] = parts[2] = parts[3] = 0;
  std::sscanf(text.c_str(), "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]);
}

RegistryKey ProductKey(const char* valueName) {
  RegistryKey key;
  key.SetRootKey(HKEY_LOCAL_MACHINE);
  key.SetSubKey(AppContext().m_szRegKey.c_str());
  key.SetValueName(valueName);
  return key;
}

}  // namespace

uint32_t PackVersion(const std::string& version) {
  unsigned parts[4];
  ScanVersion(version, parts);
  return (static_cast<uint32_t>(parts[0]) << 28) | ((parts[1] & 0xFFu) << 20) | ((parts[2] & 0xFu) << 16) |
         (parts[3] & 0xFFFFu);
}

std::string UnpackVersion(uint32_t packed) {
  char text[48];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", packed >> 28, (packed >> 20) & 0xFFu, (packed >> 16) & 0xFu,
                packed & 0xFFFFu);
  return text;
}

std::string ReadInstalledVersion() {
  std::vector<BYTE> bytes;
  if (ProductKey("cert").ReadRaw(bytes) != ERROR_SUCCESS) return {};
  // A value shorter than four bytes is read as if zero-padded.
  uint32_t packed = 0;
  for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i) packed |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  return UnpackVersion(packed);
}

int CompareWithInstalled(const std::string& version) {
  unsigned installed[4];
  unsigned offered[4];
  ScanVersion(AppContext().m_szCurVersion, installed);
  ScanVersion(version, offered);
  for (int i = 0; i < 4; ++i) {
    if (installed[i] < offered[i]) return 1;
    if (installed[i] > offered[i]) return -1;
  }
  return 0;
}

void StoreInstalledVersion(std::string version) {
  RegistryKey cert = ProductKey("cert");
  std::vector<BYTE> bytes;
  if (cert.ReadRaw(bytes) == ERROR_SUCCESS) {
    // A value shorter than four bytes grows to four: the version needs them all.
    if (bytes.size() < 4) bytes.resize(4, 0);
    const uint32_t packed = PackVersion(version);
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(packed >> (8 * i));
    cert.WriteBinary(bytes.data(), static_cast<DWORD>(bytes.size()));
  }
  RegistryKey display;
  display.SetRootKey(HKEY_LOCAL_MACHINE);
  display.SetSubKey(kUninstallKey);
  display.SetValueName("DisplayVersion");
  display.WriteString(version);
}
