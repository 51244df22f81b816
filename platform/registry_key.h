// A small stateful wrapper around one registry key and value: it remembers a
// root, a sub key path and a value name, and opens and closes the key within
// every operation (it never holds a handle between calls).
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

class RegistryKey {
 public:
  // Root HKEY_LOCAL_MACHINE, sub key "Software\" + the application's name
  // (the program file's base name without extension), the default value.
  RegistryKey();
  virtual ~RegistryKey() = default;

  bool SetRootKey(HKEY root);
  // Leading backslashes are removed. False (and no change) for null.
  bool SetSubKey(const char* subKey);
  // False (and no change) for null; empty names the default value.
  bool SetValueName(const char* valueName);

  HKEY RootKey() const { return m_hRootKey; }
  const std::string& SubKey() const { return m_szSubKey; }
  const std::string& ValueName() const { return m_szValueName; }

  // True when the key can be opened with full access (root: none = ours).
  bool KeyExists(const std::string& subKey, HKEY root = nullptr) const;

  // Writers create missing keys along the path; each returns a Win32 error code.
  LONG WriteDword(DWORD value) const;
  LONG WriteString(const std::string& text) const;
  LONG WriteBinary(const BYTE* data, DWORD count) const;

  // Reads any value as text up to its first zero byte; text changes only on success.
  LONG ReadString(std::string& text) const;
  // Reads the raw bytes of the value into a new buffer of count + 1 bytes
  // with a zero byte behind the data; the caller frees *buffer with delete[]
  // whenever it is not null (also after a failed read).
  // ERROR_INVALID_PARAMETER when either place is null.
  LONG ReadRaw(BYTE** buffer, DWORD* count) const;
  // The same, into a vector that holds exactly the value's bytes.
  LONG ReadRaw(std::vector<BYTE>& bytes) const;

  // Names of the direct sub keys of path (empty: our sub key).
  int EnumSubKeys(std::vector<std::string>& names, const std::string& path) const;
  // Deletes the key with all its sub keys, deepest first; false only when the
  // final deletion of the key itself fails.
  bool DeleteKeyTree(const std::string& path) const;
  // True when the value was deleted.
  bool DeleteValue(const std::string& valueName) const;

 private:
  LONG WriteValue(const BYTE* data, DWORD size, DWORD type) const;

  HKEY m_hRootKey;
  std::string m_szSubKey;
  std::string m_szValueName;
};
