#include "actions/remove_action.h"

#include "platform/win32.h"
#include "update/path_helpers.h"

RemoveAction::RemoveAction() : UpdateAction("remove") { RemoveAction::ResetAttributes(); }

void RemoveAction::ResetAttributes() {
  UpdateAction::ResetAttributes();
  m_szPath.clear();
  DeclareAttributes("description,path", ",");
}

bool RemoveAction::SetAttribute(const std::string& name, const std::string& value) {
  if (AttributeKey(name) == "path") m_szPath = value;
  return UpdateAction::SetAttribute(name, value);
}

bool RemoveAction::Execute() {
  LogDescription();
  if (!PathExists(m_szPath)) return true;  // nothing to remove
  if (DirectoryExists(m_szPath)) return DeleteDirectoryTree(m_szPath) ? true : Fail();
  if (IsModulePath(m_szPath)) return true;
  // A read-only file is not made writable first: its deletion fails.
  return CrtRemove(m_szPath.c_str()) == 0 ? true : Fail();
}
