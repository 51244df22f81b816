// "mkdir": creates a folder together with any missing parent folders.
#pragma once

#include <string>

#include "actions/core/update_action.h"

class MkdirAction : public UpdateAction {
 public:
  MkdirAction();
  void ResetAttributes() override;
  bool SetAttribute(const std::string& name, const std::string& value) override;
  bool Execute() override;
  TAVLEN_ACTION_CLONE(MkdirAction)

  const std::string& Dir() const { return m_szDir; }

 private:
  std::string m_szDir;
};
