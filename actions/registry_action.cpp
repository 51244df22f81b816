#include "actions/registry_action.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "actions/hex_bytes.h"
#include "platform/registry_key.h"
#include "update/string_helpers.h"

RegistryAction::RegistryAction() : UpdateAction("registry") { RegistryAction::ResetAttributes(); }

void RegistryAction::ResetAttributes() {
  UpdateAction::ResetAttributes();
  m_szKeyPath.clear();
  m_szValName.clear();
  m_szValue.clear();
  m_szValueType = "STRING";
  DeclareAttributes("description,key,valuetype,valuename,value,startpos", ",HKEY_LOCAL_MACHINE,STRING,,,-1");
}

bool RegistryAction::SetAttribute(const std::string& name, const std::string& value) {
  const std::string key = AttributeKey(name);
  if (key == "key") {
    m_szKeyPath = value;
  } else if (key == "valuename") {
    m_szValName = value;
  } else if (key == "value") {
    m_szValue = value;
  } else if (key == "valuetype") {
    m_szValueType = value;
  } else if (key == "startpos") {
    // atoi would overflow on long digit runs; strtol saturates, then clamp.
    long number = std::strtol(value.c_str(), nullptr, 10);
    if (number > INT32_MAX) number = INT32_MAX;
    if (number < INT32_MIN) number = INT32_MIN;
    m_nStartPos = static_cast<int32_t>(number);
  }
  return UpdateAction::SetAttribute(name, value);
}

HKEY RegistryRootByName(const std::string& name) {
  if (EqualsNoCase(name, "HKEY_CLASSES_ROOT") || EqualsNoCase(name, "HKCR")) return HKEY_CLASSES_ROOT;
  if (EqualsNoCase(name, "HKEY_CURRENT_USER") || EqualsNoCase(name, "HKCU")) return HKEY_CURRENT_USER;
  if (EqualsNoCase(name, "HKEY_CURRENT_CONFIG") || EqualsNoCase(name, "HKCC")) return HKEY_CURRENT_CONFIG;
  if (EqualsNoCase(name, "HKEY_USERS") || EqualsNoCase(name, "HKU")) return HKEY_USERS;
  return HKEY_LOCAL_MACHINE;
}

namespace {

constexpr size_t kMaxMergedValue = 1024 * 1024;

// The 32-bit number of a DWORD value: decimal with optional blanks and sign,
// read as atol does on the 32-bit agent, without its overflow.
DWORD ParseDword(const std::string& text) {
  long long number = std::strtoll(text.c_str(), nullptr, 10);
  if (number > INT32_MAX) number = INT32_MAX;
  if (number < INT32_MIN) number = INT32_MIN;
  return static_cast<DWORD>(static_cast<int32_t>(number));
}

}  // namespace

bool RegistryAction::WriteBinaryValue(const RegistryKey& key) const {
  std::vector<unsigned char> bytes;
  if (DecodeHexBytes(m_szValue, bytes) <= 0) return true;  // nothing to write
  std::vector<BYTE> data(bytes.begin(), bytes.end());
  std::vector<BYTE> old;
  if (m_nStartPos >= 0 && key.ReadRaw(old) == ERROR_SUCCESS) {
    const size_t offset = static_cast<size_t>(m_nStartPos);
    // A merge that would make the value larger than any registry value the
    // agent needs is refused as a failed write rather than allocated.
    if (offset + bytes.size() > kMaxMergedValue) return false;
    // Bytes between the old end and the offset are zero.
    if (old.size() < offset + bytes.size()) old.resize(offset + bytes.size(), 0);
    std::copy(bytes.begin(), bytes.end(), old.begin() + static_cast<std::ptrdiff_t>(offset));
    data.swap(old);
  }
  return key.WriteBinary(data.data(), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool RegistryAction::Execute() {
  LogDescription();
  RegistryKey key;
  enum class Mode { kWrite, kDeleteKey, kDeleteValue } mode = Mode::kWrite;
  std::string keyPath = m_szKeyPath;
  std::string valueName = m_szValName;
  if (!keyPath.empty() && keyPath[0] == '-') {
    mode = Mode::kDeleteKey;
    keyPath.erase(0, 1);
  } else if (!valueName.empty() && valueName[0] == '-') {
    mode = Mode::kDeleteValue;
    valueName.erase(0, 1);
  }
  std::string rootName = "HKEY_LOCAL_MACHINE";
  std::string subKey = keyPath;
  const auto cut = keyPath.find('\\');
  if (cut != std::string::npos && cut != 0) {
    rootName = keyPath.substr(0, cut);
    subKey = keyPath.substr(cut + 1);
  }
  key.SetRootKey(RegistryRootByName(rootName));
  key.SetSubKey(subKey.c_str());
  key.SetValueName(valueName.c_str());

  switch (mode) {
    case Mode::kDeleteKey:
      // A key path that names only a root would empty the whole root: refused.
      if (!key.SubKey().empty()) key.DeleteKeyTree(key.SubKey());
      return true;
    case Mode::kDeleteValue:
      key.DeleteValue(valueName);
      return true;
    case Mode::kWrite:
      break;
  }
  bool written = false;
  if (EqualsNoCase(m_szValueType, "BINARY")) {
    written = WriteBinaryValue(key);
  } else if (EqualsNoCase(m_szValueType, "DWORD")) {
    written = key.WriteDword(ParseDword(m_szValue)) == ERROR_SUCCESS;
  } else {
    written = key.WriteString(m_szValue) == ERROR_SUCCESS;
  }
  return written ? true : Fail();
}
