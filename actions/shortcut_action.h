// "shortcut": creates, updates or deletes a shell shortcut in a special
// folder. "update" rewrites an existing shortcut, replacing only the fields
// that "newitems" names.
#pragma once

#include <cstdint>
#include <string>

#include "actions/core/update_action.h"

class ShortcutAction : public UpdateAction {
 public:
  ShortcutAction();
  void ResetAttributes() override;
  bool SetAttribute(const std::string& name, const std::string& value) override;
  bool Execute() override;
  TAVLEN_ACTION_CLONE(ShortcutAction)

  const std::string& Command() const { return m_szCmd; }
  int32_t FolderId() const { return m_nFolderId; }
  int32_t IconIndex() const { return m_nIconIndex; }
  const std::string& NewItems() const { return m_szNewItems; }

 private:
  bool Update() const;

  std::string m_szCmd;
  int32_t m_nFolderId = 0;
  std::string m_szName;
  std::string m_szTarget;
  std::string m_szArg;
  std::string m_szLnkDesc;
  std::string m_szIconFile;
  int32_t m_nIconIndex = 1;
  std::string m_szNewItems;
};

// Reads "id" and "iconindex": hexadecimal after "0x" (either case), else
// decimal with an optional sign, up to the first character that does not fit;
// leading white space is skipped. False, with field unchanged, when no digit
// can be read. Values beyond 32 bits saturate instead of overflowing.
bool ReadNumberAttribute(const std::string& value, int32_t& field);
