#include "actions/open_action.h"

#include "actions/process_launcher.h"
#include "update/path_helpers.h"
#include "update/string_helpers.h"

OpenAction::OpenAction() : UpdateAction("open") { OpenAction::ResetAttributes(); }

void OpenAction::ResetAttributes() {
  UpdateAction::ResetAttributes();
  m_szFile.clear();
  m_bWait = true;
  DeclareAttributes("description,file,async", ",,false");
}

bool OpenAction::SetAttribute(const std::string& name, const std::string& value) {
  const std::string key = AttributeKey(name);
  if (key == "file") {
    m_szFile = value;
  } else if (key == "async") {
    m_bWait = !EqualsNoCase(value, "true");
  }
  return UpdateAction::SetAttribute(name, value);
}

bool OpenAction::Execute() {
  LogDescription();
  if (!PathExists(m_szFile)) return Fail();
  // The path is the whole command line: no quotes, no arguments.
  return ProcessLauncher::Launch(m_szFile, m_bWait) ? true : Fail();
}
