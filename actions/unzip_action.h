// "unzip": unpacks every entry of a zip archive below a destination folder,
// reporting each entry and moving the current-file bar by entries. It stops
// at the first entry that cannot be written.
#pragma once

#include <string>

#include "actions/core/update_action.h"

class UnzipAction : public UpdateAction {
 public:
  UnzipAction();
  void ResetAttributes() override;
  bool SetAttribute(const std::string& name, const std::string& value) override;
  bool Execute() override;
  TAVLEN_ACTION_CLONE(UnzipAction)

  const std::string& File() const { return m_szFile; }
  const std::string& Where() const { return m_szWhere; }

 private:
  std::string m_szFile;
  std::string m_szWhere;
};
