// "registry": writes one value (text, 32-bit number or bytes, bytes possibly
// merged into an existing value at an offset), deletes one value, or deletes
// one key with all its sub keys. A leading "-" on the key deletes the key; on
// the value name, the value.
#pragma once

#include <cstdint>
#include <string>

#include "actions/core/update_action.h"
#include "platform/win32.h"

class RegistryAction : public UpdateAction {
 public:
  RegistryAction();
  void ResetAttributes() override;
  bool SetAttribute(const std::string& name, const std::string& value) override;
  bool Execute() override;
  TAVLEN_ACTION_CLONE(RegistryAction)

  const std::string& KeyPath() const { return m_szKeyPath; }
  const std::string& ValueName() const { return m_szValName; }
  const std::string& Value() const { return m_szValue; }
  const std::string& ValueType() const { return m_szValueType; }
  int32_t StartPos() const { return m_nStartPos; }

 private:
  bool WriteBinaryValue(const class RegistryKey& key) const;

  std::string m_szKeyPath;
  std::string m_szValName;
  std::string m_szValue;
  std::string m_szValueType = "STRING";
  int32_t m_nStartPos = -1;
};

// The root key named before the first backslash of a key path; every name
// that is not known selects HKEY_LOCAL_MACHINE.
HKEY RegistryRootByName(const std::string& name);
