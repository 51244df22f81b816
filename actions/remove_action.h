// "remove": deletes one file, or a folder with everything in it. The running
// agent's own executable is left in place, and that counts as success.
#pragma once

#include <string>

#include "actions/core/update_action.h"

class RemoveAction : public UpdateAction {
 public:
  RemoveAction();
  void ResetAttributes() override;
  bool SetAttribute(const std::string& name, const std::string& value) override;
  bool Execute() override;
  TAVLEN_ACTION_CLONE(RemoveAction)

  const std::string& Path() const { return m_szPath; }

 private:
  std::string m_szPath;
};
