#include "tools/tavlen-reg/registry_access.h"

namespace tavlen::reg {

namespace {

// Closes an opened key when it goes out of scope.
class OpenedKey {
 public:
  ~OpenedKey() {
    if (m_key != nullptr) RegCloseKey(m_key);
  }
  HKEY* Out() { return &m_key; }
  HKEY Get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

constexpr DWORD kMaxValueName = 16384;

LONG EnumSubKeys(HKEY key, std::vector<std::string>& names) {
  names.clear();
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    const LONG result = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS) return result;
    names.emplace_back(name, length);
  }
}

LONG EnumValues(HKEY key, const KeyPath& path, std::vector<RegEdit>& values) {
  values.clear();
  std::string name(kMaxValueName, '\0');
  std::string data(256, '\0');
  for (DWORD index = 0;;) {
    DWORD nameLength = kMaxValueName;
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    const LONG result =
        RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (result == ERROR_MORE_DATA && size > data.size()) {
      data.resize(size);  // the same index once more with room for the data
      continue;
    }
    if (result == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS) return result;
    RegEdit value;
    value.kind = RegEdit::Kind::kSetValue;
    value.key = path;
    value.name.assign(name.data(), nameLength);
    value.type = type;
    value.data.assign(data.data(), size);
    values.push_back(std::move(value));
    ++index;
  }
}

KeyPath Child(const KeyPath& parent, const std::string& name) {
  KeyPath child = parent;
  child.subKey = parent.subKey.empty() ? name : parent.subKey + "\\" + name;
  return child;
}

}  // namespace

LONG ReadKey(const KeyPath& key, std::vector<RegEdit>& values, std::vector<std::string>& subKeys) {
  OpenedKey opened;
  if (LONG result = RegOpenKeyExA(key.root, key.subKey.c_str(), 0, KEY_READ, opened.Out())) return result;
  if (LONG result = EnumValues(opened.Get(), key, values)) return result;
  return EnumSubKeys(opened.Get(), subKeys);
}

LONG ReadValue(const KeyPath& key, const std::string& name, RegEdit& value) {
  OpenedKey opened;
  if (LONG result = RegOpenKeyExA(key.root, key.subKey.c_str(), 0, KEY_READ, opened.Out())) return result;
  DWORD size = 0;
  LONG result = ERROR_MORE_DATA;
  // The value may grow between the two calls: ask again until it fits.
  while (result == ERROR_MORE_DATA) {
    if (result = RegQueryValueExA(opened.Get(), name.c_str(), nullptr, nullptr, nullptr, &size); result) return result;
    value.data.assign(size, '\0');
    result = RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &value.type,
                              reinterpret_cast<BYTE*>(value.data.data()), &size);
  }
  if (result != ERROR_SUCCESS) return result;
  value.data.resize(size);
  value.kind = RegEdit::Kind::kSetValue;
  value.key = key;
  value.name = name;
  return ERROR_SUCCESS;
}

LONG OpenCheck(const KeyPath& key) {
  OpenedKey opened;
  return RegOpenKeyExA(key.root, key.subKey.c_str(), 0, KEY_READ, opened.Out());
}

LONG DeleteTree(const KeyPath& key) {
  std::vector<std::string> children;
  {
    OpenedKey opened;
    if (LONG result = RegOpenKeyExA(key.root, key.subKey.c_str(), 0, KEY_READ, opened.Out())) return result;
    if (LONG result = EnumSubKeys(opened.Get(), children)) return result;
  }
  for (const std::string& name : children) {
    if (LONG result = DeleteTree(Child(key, name))) return result;
  }
  return RegDeleteKeyA(key.root, key.subKey.c_str());
}

LONG ApplyEdit(const RegEdit& edit) {
  switch (edit.kind) {
    case RegEdit::Kind::kDeleteKey: {
      const LONG result = DeleteTree(edit.key);
      return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;  // already gone
    }
    case RegEdit::Kind::kCreateKey: {
      OpenedKey opened;
      return RegCreateKeyExA(edit.key.root, edit.key.subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                             nullptr, opened.Out(), nullptr);
    }
    case RegEdit::Kind::kSetValue: {
      OpenedKey opened;
      if (LONG result = RegCreateKeyExA(edit.key.root, edit.key.subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_WRITE, nullptr, opened.Out(), nullptr)) {
        return result;
      }
      return RegSetValueExA(opened.Get(), edit.name.c_str(), 0, edit.type,
                            reinterpret_cast<const BYTE*>(edit.data.data()), static_cast<DWORD>(edit.data.size()));
    }
    case RegEdit::Kind::kDeleteValue: {
      OpenedKey opened;
      LONG result = RegOpenKeyExA(edit.key.root, edit.key.subKey.c_str(), 0, KEY_SET_VALUE, opened.Out());
      if (result == ERROR_SUCCESS) result = RegDeleteValueA(opened.Get(), edit.name.c_str());
      return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;  // nothing to delete
    }
  }
  return ERROR_INVALID_PARAMETER;
}

std::string ErrorText(LONG code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return "the registry key or value does not exist";
    case ERROR_ACCESS_DENIED:
      return "access is denied";
    case ERROR_INVALID_PARAMETER:
      return "invalid parameter (a name may be too long)";
    case ERROR_BAD_PATHNAME:
      return "the key path is not valid";
    case ERROR_BADDB:
      return "the registry database is corrupt or is not a registry";
    case ERROR_CANTOPEN:
      return "the registry database cannot be opened";
    case ERROR_KEY_DELETED:
      return "the key was deleted meanwhile";
    case ERROR_BUSY:
      return "the registry database is busy";
    case ERROR_DISK_FULL:
      return "the disk is full";
    default:
      return "Win32 error " + std::to_string(code);
  }
}

}  // namespace tavlen::reg
