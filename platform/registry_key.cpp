#include "platform/registry_key.h"

#include <cstring>
#include <new>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// The running program's file name without folder and extension.
std::string ApplicationName() {
  char path[MAX_PATH] = {};
#ifdef _WIN32
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full(path, length < MAX_PATH ? length : 0);
  const std::size_t slash = full.find_last_of("\\/");
#else
  const ssize_t length = readlink("/proc/self/exe", path, MAX_PATH - 1);
  const std::string full(path, length > 0 ? static_cast<std::size_t>(length) : 0);
  const std::size_t slash = full.rfind('/');
#endif
  std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace

RegistryKey::RegistryKey() : m_hRootKey(HKEY_LOCAL_MACHINE) {
  SetSubKey(("Software\\" + ApplicationName()).c_str());
}

bool RegistryKey::SetRootKey(HKEY root) {
  m_hRootKey = root;
  return true;
}

bool RegistryKey::SetSubKey(const char* subKey) {
  if (subKey == nullptr) return false;
  while (*subKey == '\\') ++subKey;
  m_szSubKey = subKey;
  OutputDebugStringA("m_szSubKey set to ");
  OutputDebugStringA(m_szSubKey.c_str());
  OutputDebugStringA("\n");
  return true;
}

bool RegistryKey::SetValueName(const char* valueName) {
  if (valueName == nullptr) return false;
  m_szValueName = valueName;
  OutputDebugStringA("m_szValueName set to ");
  OutputDebugStringA(m_szValueName.c_str());
  OutputDebugStringA("\n");
  return true;
}

bool RegistryKey::KeyExists(const std::string& subKey, HKEY root) const {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root != nullptr ? root : m_hRootKey, subKey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

LONG RegistryKey::WriteValue(const BYTE* data, DWORD size, DWORD type) const {
  HKEY key = nullptr;
  LONG result = RegCreateKeyExA(m_hRootKey, m_szSubKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                nullptr, &key, nullptr);
  if (result == ERROR_SUCCESS) {
    result = RegSetValueExA(key, m_szValueName.c_str(), 0, type, data, size);
    RegCloseKey(key);
  }
  return result;
}

LONG RegistryKey::WriteDword(DWORD value) const {
  const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                         static_cast<BYTE>(value >> 24)};
  return WriteValue(bytes, sizeof bytes, REG_DWORD);
}

LONG RegistryKey::WriteString(const std::string& text) const {
  return WriteValue(reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(std::strlen(text.c_str()) + 1),
                    REG_SZ);
}

LONG RegistryKey::WriteBinary(const BYTE* data, DWORD count) const { return WriteValue(data, count, REG_BINARY); }

LONG RegistryKey::ReadString(std::string& text) const {
  BYTE* buffer = nullptr;
  DWORD count = 0;
  const LONG result = ReadRaw(&buffer, &count);
  if (result == ERROR_SUCCESS) text = reinterpret_cast<const char*>(buffer);
  delete[] buffer;
  return result;
}

LONG RegistryKey::ReadRaw(BYTE** buffer, DWORD* count) const {
  if (buffer == nullptr || count == nullptr) return ERROR_INVALID_PARAMETER;
  *buffer = nullptr;
  HKEY key = nullptr;
  LONG result = RegOpenKeyExA(m_hRootKey, m_szSubKey.c_str(), 0, KEY_READ, &key);
  if (result != ERROR_SUCCESS) return result;
  result = RegQueryValueExA(key, m_szValueName.c_str(), nullptr, nullptr, nullptr, count);
  if (result == ERROR_SUCCESS) {
    *buffer = new (std::nothrow) BYTE[static_cast<std::size_t>(*count) + 1];
    if (*buffer == nullptr) {
      result = ERROR_NOT_ENOUGH_MEMORY;
    } else {
      result = RegQueryValueExA(key, m_szValueName.c_str(), nullptr, nullptr, *buffer, count);
      // The zero behind the data makes a text value usable as text; after a
      // failed read it keeps the buffer an empty text.
      (*buffer)[result == ERROR_SUCCESS ? *count : 0] = 0;
    }
  }
  RegCloseKey(key);
  return result;
}

LONG RegistryKey::ReadRaw(std::vector<BYTE>& bytes) const {
  BYTE* buffer = nullptr;
  DWORD count = 0;
  const LONG result = ReadRaw(&buffer, &count);
  if (result == ERROR_SUCCESS) bytes.assign(buffer, buffer + count);
  delete[] buffer;
  return result;
}

int RegistryKey::EnumSubKeys(std::vector<std::string>& names, const std::string& path) const {
  names.clear();
  HKEY key = nullptr;
  if (RegOpenKeyExA(m_hRootKey, path.empty() ? m_szSubKey.c_str() : path.c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return 0;
  }
  char name[MAX_PATH];
  for (DWORD index = 0;; ++index) {
    DWORD length = MAX_PATH;
    if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return static_cast<int>(names.size());
}

bool RegistryKey::DeleteKeyTree(const std::string& path) const {
  if (!KeyExists(path)) return true;
  std::vector<std::string> children;
  // An empty path would enumerate our own sub key instead.
  if (!path.empty()) EnumSubKeys(children, path);
  for (const std::string& child : children) DeleteKeyTree(path + "\\" + child);
  return RegDeleteKeyA(m_hRootKey, path.c_str()) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const std::string& valueName) const {
  HKEY key = nullptr;
  if (RegOpenKeyExA(m_hRootKey, m_szSubKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  const LONG result = RegDeleteValueA(key, valueName.c_str());
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}
