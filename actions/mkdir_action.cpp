#include "actions/mkdir_action.h"

#include "platform/win32.h"
#include "update/path_helpers.h"
#include "update/string_helpers.h"

MkdirAction::MkdirAction() : UpdateAction("mkdir") { MkdirAction::ResetAttributes(); }

void MkdirAction::ResetAttributes() {
  UpdateAction::ResetAttributes();
  m_szDir.clear();
  DeclareAttributes("description,dir", ",");
}

bool MkdirAction::SetAttribute(const std::string& name, const std::string& value) {
  if (AttributeKey(name) == "dir") m_szDir = value;
  return UpdateAction::SetAttribute(name, value);
}

bool MkdirAction::Execute() {
  LogDescription();
  // An existing file of that name counts as done, as an existing folder does.
  if (PathExists(m_szDir)) return true;
  if (!FitsMaxPath(m_szDir)) return Fail();
  if (CreateDirectoryA(m_szDir.c_str(), nullptr)) return true;
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS) return true;
  if (error != ERROR_PATH_NOT_FOUND) return Fail();
  const auto cut = LastBackslash(m_szDir);
  if (cut == std::string::npos || cut == 0) return Fail();
  if (!CreateDirectoryPath(m_szDir.substr(0, cut))) return Fail();
  if (CreateDirectoryA(m_szDir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  return Fail();
}
