#include "actions/shortcut_action.h"

#include <memory>

#include "actions/shell_link.h"
#include "app/display.h"
#include "update/string_helpers.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ReadNumberAttribute(const std::string& value, int32_t& field) {
  size_t i = value.find_first_not_of(" \t\r\n\v\f");
  if (i == std::string::npos) return false;
  if (value.size() - i >= 2 && value[i] == '0' && (value[i + 1] == 'x' || value[i + 1] == 'X')) {
    // As "%x" reads it: "0x" with no hex digit after it still reads the 0.
    uint64_t number = 0;
    for (i += 2; i < value.size() && HexDigit(value[i]) >= 0; ++i) {
      number = number * 16 + static_cast<uint64_t>(HexDigit(value[i]));
      if (number > 0xFFFFFFFFu) number = 0xFFFFFFFFu;
    }
    field = static_cast<int32_t>(static_cast<uint32_t>(number));
    return true;
  }
  bool negative = false;
  if (value[i] == '+' || value[i] == '-') negative = value[i++] == '-';
  if (i >= value.size() || value[i] < '0' || value[i] > '9') return false;
  int64_t number = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    number = number * 10 + (value[i] - '0');
    if (number > 0x80000000LL) number = 0x80000000LL;
  }
  if (negative) number = -number;
  if (number > INT32_MAX) number = INT32_MAX;
  field = static_cast<int32_t>(number);
  return true;
}

ShortcutAction::ShortcutAction() : UpdateAction("shortcut") { ShortcutAction::ResetAttributes(); }

void ShortcutAction::ResetAttributes() {
  UpdateAction::ResetAttributes();
  m_szCmd = "create";
  m_nFolderId = 0;
  m_szName.clear();
  m_szTarget.clear();
  m_szArg.clear();
  m_szLnkDesc.clear();
  m_szIconFile.clear();
  m_nIconIndex = 1;
  m_szNewItems.clear();
  DeclareAttributes("cmd,id,name,target,arg,lnkdesc,iconfile,iconindex,newitems", "create,0,,,,,,1,");
}

bool ShortcutAction::SetAttribute(const std::string& name, const std::string& value) {
  const std::string key = AttributeKey(name);
  if (key == "cmd") {
    m_szCmd = ToLowerAscii(Trim(value));
    if (m_szCmd.empty()) m_szCmd = "create";
  } else if (key == "id") {
    ReadNumberAttribute(value, m_nFolderId);
  } else if (key == "name") {
    m_szName = value;
  } else if (key == "target") {
    m_szTarget = value;
  } else if (key == "arg") {
    m_szArg = value;
  } else if (key == "lnkdesc") {
    m_szLnkDesc = value;
  } else if (key == "iconfile") {
    m_szIconFile = value;
  } else if (key == "iconindex") {
    ReadNumberAttribute(value, m_nIconIndex);
  } else if (key == "newitems") {
    m_szNewItems = ReplaceAll(ToLowerAscii(Trim(value)), " ,", ",") + ",";
  }
  return UpdateAction::SetAttribute(name, value);
}

bool ShortcutAction::Update() const {
  const ShellLink link;
  if (!link.LinkExists(m_nFolderId, m_szName)) return true;
  ShellLinkFields fields;
  if (FAILED(link.ReadLink(MainWindow().WindowHandle(), m_nFolderId, m_szName, fields))) return false;
  const auto named = [this](const char* item) { return m_szNewItems.find(item) != std::string::npos; };
  if (named("target,")) fields.target = m_szTarget;
  if (named("arg,")) fields.arguments = m_szArg;
  if (named("lnkdesc,")) fields.description = m_szLnkDesc;
  if (named("iconfile,")) fields.iconFile = m_szIconFile;
  if (named("iconindex,")) fields.iconIndex = m_nIconIndex;
  return link.CreateLink(m_nFolderId, m_szName, fields.target, fields.arguments, fields.description,
                         fields.iconFile, fields.iconIndex);
}

bool ShortcutAction::Execute() {
  // The type declares no "description", so it writes no description line.
  if (m_szName.empty()) return true;
  const auto link = std::make_unique<ShellLink>();
  bool result = true;
  if (m_szCmd == "create") {
    result = link->CreateLink(m_nFolderId, m_szName, m_szTarget, m_szArg, m_szLnkDesc, m_szIconFile, m_nIconIndex);
  } else if (m_szCmd == "update") {
    result = Update();
  } else if (m_szCmd == "delete") {
    result = link->DeleteLink(m_nFolderId, m_szName);
  }
  return result ? true : Fail();
}
