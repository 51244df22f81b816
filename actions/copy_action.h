// "copy": copies or moves one file to a target path or into a target folder.
// A file aimed at the running agent goes to the replacement path beside it.
#pragma once

#include <string>

#include "actions/core/update_action.h"

class CopyAction : public UpdateAction {
 public:
  CopyAction();
  void ResetAttributes() override;
  bool SetAttribute(const std::string& name, const std::string& value) override;
  bool Execute() override;
  TAVLEN_ACTION_CLONE(CopyAction)

  const std::string& From() const { return m_szFrom; }
  const std::string& To() const { return m_szTo; }
  bool Moves() const { return m_bMove; }
  bool Overwrites() const { return m_bOverwrite; }

 private:
  std::string m_szFrom;
  std::string m_szTo;
  bool m_bMove = true;
  bool m_bOverwrite = true;
};
