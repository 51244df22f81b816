// Linux: the Win32 registry calls over the registry database.
#include "platform/posix/win_registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/posix/registry_database.h"
#include "platform/posix/registry_store.h"

namespace tavlen::posix::registry {
namespace {

// What an opened HKEY points to: the key's row and the access it was opened with.
struct OpenedKey {
  int64_t key;
  REGSAM access;
};

std::unordered_set<OpenedKey*>& OpenedKeys() {
  static auto* keys = new std::unordered_set<OpenedKey*>;
  return *keys;
}

constexpr REGSAM kAllKeyRights = KEY_ALL_ACCESS;

// Generic rights and MAXIMUM_ALLOWED map to the specific key rights.
REGSAM SpecificRights(REGSAM access) {
  REGSAM rights = access & kAllKeyRights;
  if (access & (GENERIC_ALL | MAXIMUM_ALLOWED)) rights |= kAllKeyRights;
  if (access & GENERIC_READ) rights |= KEY_READ;
  if (access & GENERIC_WRITE) rights |= KEY_WRITE;
  if (access & GENERIC_EXECUTE) rights |= KEY_EXECUTE;
  return rights;
}

int64_t PredefinedRoot(HKEY handle) {
  if (handle == HKEY_CLASSES_ROOT) return kClassesRoot;
  if (handle == HKEY_CURRENT_USER) return kCurrentUser;
  if (handle == HKEY_LOCAL_MACHINE) return kLocalMachine;
  if (handle == HKEY_USERS) return kUsers;
  if (handle == HKEY_CURRENT_CONFIG) return kCurrentConfig;
  return 0;
}

// The key behind a handle, if the handle is open and has every right needed.
LONG FromHandle(HKEY handle, REGSAM needed, int64_t& key) {
  if (const int64_t root = PredefinedRoot(handle)) {
    key = root;
    return ERROR_SUCCESS;
  }
  auto* opened = reinterpret_cast<OpenedKey*>(handle);
  if (OpenedKeys().count(opened) == 0) return ERROR_INVALID_HANDLE;
  if ((opened->access & needed) != needed) return ERROR_ACCESS_DENIED;
  key = opened->key;
  return ERROR_SUCCESS;
}

HKEY NewHandle(int64_t key, REGSAM access) {
  auto* opened = new OpenedKey{key, SpecificRights(access)};
  OpenedKeys().insert(opened);
  return reinterpret_cast<HKEY>(opened);
}

std::string ValueName(LPCSTR name) { return name != nullptr ? std::string(name) : std::string(); }

LONG OpenOrCreate(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, PHKEY phkResult, bool create, LPDWORD disposition) {
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  const std::string path = lpSubKey != nullptr ? lpSubKey : "";
  if (!path.empty() && path[0] == '\\') return ERROR_BAD_PATHNAME;
  auto lock = LockRegistry();
  int64_t base = 0;
  if (LONG error = FromHandle(hKey, 0, base)) return error;
  int64_t key = 0;
  bool created = false;
  auto resolve = [&](sqlite3* db) { return ResolvePath(db, base, path, create, key, &created); };
  if (LONG error = create ? RunWrite(resolve) : RunRead(resolve)) return error;
  *phkResult = NewHandle(key, samDesired);
  if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

// Copies a name with its zero into a buffer of *length characters.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD length) {
  if (name.size() >= *length) return ERROR_MORE_DATA;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *length = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

// Hands out value data the way RegQueryValueExA does.
LONG CopyData(const std::string& data, LPBYTE buffer, LPDWORD size) {
  if (size == nullptr) return ERROR_SUCCESS;
  const DWORD needed = static_cast<DWORD>(data.size());
  if (buffer == nullptr) {
    *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (needed > 0) std::memcpy(buffer, data.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

}  // namespace
}  // namespace tavlen::posix::registry

using namespace tavlen::posix::registry;

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  return OpenOrCreate(hKey, lpSubKey, samDesired, phkResult, false, nullptr);
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired, struct _SECURITY_ATTRIBUTES*,
                     PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (lpSubKey == nullptr) return ERROR_INVALID_PARAMETER;
  return OpenOrCreate(hKey, lpSubKey, samDesired, phkResult, true, lpdwDisposition);
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  if (lpData == nullptr && cbData > 0) return ERROR_NOACCESS;
  const std::string name = ValueName(lpValueName);
  if (name.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
  auto lock = LockRegistry();
  int64_t key = 0;
  if (LONG error = FromHandle(hKey, KEY_SET_VALUE, key)) return error;
  const std::string data(reinterpret_cast<const char*>(lpData), lpData != nullptr ? cbData : 0);
  return RunWrite([&](sqlite3* db) { return SetValue(db, key, name, dwType, data); });
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
  auto lock = LockRegistry();
  int64_t key = 0;
  if (LONG error = FromHandle(hKey, KEY_QUERY_VALUE, key)) return error;
  ValueRow value;
  if (LONG error = RunRead([&](sqlite3* db) { return GetValue(db, key, ValueName(lpValueName), value); })) return error;
  if (lpType != nullptr) *lpType = value.type;
  return CopyData(value.data, lpData, lpcbData);
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD, LPSTR lpClass,
                   LPDWORD lpcchClass, struct _FILETIME* lpftLastWriteTime) {
  if (lpName == nullptr || lpcchName == nullptr) return ERROR_INVALID_PARAMETER;
  auto lock = LockRegistry();
  int64_t key = 0;
  if (LONG error = FromHandle(hKey, KEY_ENUMERATE_SUB_KEYS, key)) return error;
  std::string name;
  if (LONG error = RunRead([&](sqlite3* db) { return SubKeyAt(db, key, dwIndex, name); })) return error;
  if (LONG error = CopyName(name, lpName, lpcchName)) return error;
  if (lpcchClass != nullptr) {
    if (lpClass != nullptr && *lpcchClass > 0) lpClass[0] = '\0';
    *lpcchClass = 0;
  }
  // Keys keep no write time here; FILETIME is two 32-bit words.
  if (lpftLastWriteTime != nullptr) std::memset(static_cast<void*>(lpftLastWriteTime), 0, 2 * sizeof(DWORD));
  return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD, LPDWORD lpType,
                   LPBYTE lpData, LPDWORD lpcbData) {
  if (lpValueName == nullptr || lpcchValueName == nullptr) return ERROR_INVALID_PARAMETER;
  if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
  auto lock = LockRegistry();
  int64_t key = 0;
  if (LONG error = FromHandle(hKey, KEY_QUERY_VALUE, key)) return error;
  ValueRow value;
  if (LONG error = RunRead([&](sqlite3* db) { return ValueAt(db, key, dwIndex, value); })) return error;
  if (LONG error = CopyName(value.name, lpValueName, lpcchValueName)) return error;
  if (lpType != nullptr) *lpType = value.type;
  return CopyData(value.data, lpData, lpcbData);
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  if (lpSubKey == nullptr) return ERROR_INVALID_PARAMETER;
  const std::string path = lpSubKey;
  if (!path.empty() && path[0] == '\\') return ERROR_BAD_PATHNAME;
  auto lock = LockRegistry();
  int64_t base = 0;
  if (LONG error = FromHandle(hKey, 0, base)) return error;
  return RunWrite([&](sqlite3* db) {
    int64_t key = 0;
    if (LONG error = ResolvePath(db, base, path, false, key, nullptr)) return error;
    return DeleteKeyRow(db, key);
  });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  auto lock = LockRegistry();
  int64_t key = 0;
  if (LONG error = FromHandle(hKey, KEY_SET_VALUE, key)) return error;
  return RunWrite([&](sqlite3* db) { return DeleteValueRow(db, key, ValueName(lpValueName)); });
}

LONG RegCloseKey(HKEY hKey) {
  if (PredefinedRoot(hKey) != 0) return ERROR_SUCCESS;
  auto lock = LockRegistry();
  auto* opened = reinterpret_cast<OpenedKey*>(hKey);
  if (OpenedKeys().erase(opened) == 0) return ERROR_INVALID_HANDLE;
  delete opened;
  return ERROR_SUCCESS;
}

void OutputDebugStringA(LPCSTR lpOutputString) {
  if (lpOutputString == nullptr || std::getenv("TAVLEN_DEBUG") == nullptr) return;
  std::fputs(lpOutputString, stderr);
}
