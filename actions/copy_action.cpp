#include "actions/copy_action.h"

#include "platform/win32.h"
#include "update/activity_log.h"
#include "update/path_helpers.h"
#include "update/string_helpers.h"

CopyAction::CopyAction() : UpdateAction("copy") { CopyAction::ResetAttributes(); }

void CopyAction::ResetAttributes() {
  UpdateAction::ResetAttributes();
  m_szFrom.clear();
  m_szTo.clear();
  m_bMove = true;
  m_bOverwrite = true;
  DeclareAttributes("description,from,to,move,overwrite", ",,,true,true");
}

bool CopyAction::SetAttribute(const std::string& name, const std::string& value) {
  const std::string key = AttributeKey(name);
  // Only the word "false" clears a flag; anything else, even nothing, sets it.
  if (key == "from") {
    m_szFrom = value;
  } else if (key == "to") {
    m_szTo = value;
  } else if (key == "move") {
    m_bMove = !EqualsNoCase(value, "false");
  } else if (key == "overwrite") {
    m_bOverwrite = !EqualsNoCase(value, "false");
  }
  return UpdateAction::SetAttribute(name, value);
}

bool CopyAction::Execute() {
  LogDescription();
  if (!PathExists(m_szFrom)) {
    LogActivity("文件没有发现：" + m_szFrom, true);
    return Fail();
  }
  if (DirectoryExists(m_szTo)) m_szTo = m_szTo + "\\" + SplitFileName(m_szFrom);
  if (IsModulePath(m_szTo)) m_szTo = ModuleReplacementPath();
  // The Win32 calls take MAX_PATH buffers: a longer target is refused.
  if (!FitsMaxPath(m_szTo)) return Fail();
  const BOOL done = m_bMove ? MoveFileExA(m_szFrom.c_str(), m_szTo.c_str(), MOVEFILE_COPY_ALLOWED)
                            : CopyFileA(m_szFrom.c_str(), m_szTo.c_str(), m_bOverwrite ? FALSE : TRUE);
  return done ? true : Fail();
}
