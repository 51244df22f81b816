#include "actions/run_action.h"

#include "actions/process_launcher.h"
#include "update/string_helpers.h"

RunAction::RunAction() : UpdateAction("run") { RunAction::ResetAttributes(); }

void RunAction::ResetAttributes() {
  UpdateAction::ResetAttributes();
  m_szArgs.clear();
  m_szCmd.clear();
  m_bWait = true;
  DeclareAttributes("description,cmd,args,async", ",,,false");
}

bool RunAction::SetAttribute(const std::string& name, const std::string& value) {
  const std::string key = AttributeKey(name);
  if (key == "args") {
    m_szArgs = value;
  } else if (key == "cmd") {
    m_szCmd = value;
  } else if (key == "async") {
    m_bWait = !EqualsNoCase(value, "true");
  }
  return UpdateAction::SetAttribute(name, value);
}

bool RunAction::Execute() {
  LogDescription();
  return ProcessLauncher::Launch(CommandLine(), m_bWait) ? true : Fail();
}
