// "open": starts an existing file as a program, without arguments, and
// unless "async" is "true" waits until it has ended.
#pragma once

#include <string>

#include "actions/core/update_action.h"

class OpenAction : public UpdateAction {
 public:
  OpenAction();
  void ResetAttributes() override;
  bool SetAttribute(const std::string& name, const std::string& value) override;
  bool Execute() override;
  TAVLEN_ACTION_CLONE(OpenAction)

  const std::string& File() const { return m_szFile; }
  bool Waits() const { return m_bWait; }

 private:
  std::string m_szFile;
  bool m_bWait = true;
};
