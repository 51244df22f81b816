// "run": starts a program with arguments and, unless "async" is "true",
// waits until it has ended.
#pragma once

#include <string>

#include "actions/core/update_action.h"

class RunAction : public UpdateAction {
 public:
  RunAction();
  void ResetAttributes() override;
  bool SetAttribute(const std::string& name, const std::string& value) override;
  bool Execute() override;
  TAVLEN_ACTION_CLONE(RunAction)

  // The command line Execute starts: cmd, one blank, args.
  std::string CommandLine() const { return m_szCmd + " " + m_szArgs; }
  bool Waits() const { return m_bWait; }

 private:
  std::string m_szArgs;
  std::string m_szCmd;
  bool m_bWait = true;
};
