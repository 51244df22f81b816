// A small action type for the tests of the action model: it declares the
// attributes that exercise every base rule ("cmd", "file" and "where" take the
// doubled-backslash rule, "args" does not, "async" has a default) and mirrors
// two of them into typed fields as an action type does.
#pragma once

#include <string>
#include <vector>

#include "actions/core/update_action.h"

namespace tavlen::test {

class ProbeAction : public UpdateAction {
 public:
  explicit ProbeAction(std::string typeName = "probe") : UpdateAction(std::move(typeName)) { ResetAttributes(); }
  ~ProbeAction() override {
    if (s_destroyed != nullptr) s_destroyed->push_back(m_szCmd);
  }
  ProbeAction(const ProbeAction&) = delete;
  ProbeAction& operator=(const ProbeAction&) = delete;

  // When set, every probe action appends its "cmd" here as it is destroyed.
  static inline std::vector<std::string>* s_destroyed = nullptr;

  void ResetAttributes() override {
    UpdateAction::ResetAttributes();
    m_szCmd.clear();
    m_bAsync = false;
    DeclareAttributes("description,cmd,args,async,file,where", ",,,false,,");
  }

  bool SetAttribute(const std::string& name, const std::string& value) override {
    const std::string key = AttributeKey(name);
    if (key == "cmd") m_szCmd = value;
    if (key == "async") m_bAsync = value == "true" || value == "1";
    return UpdateAction::SetAttribute(name, value);
  }

  // Succeeds unless "cmd" is "fail"; a failure follows the skip flag.
  bool Execute() override {
    LogDescription();
    ++m_nExecuted;
    return m_szCmd == "fail" ? Fail() : true;
  }

  TAVLEN_ACTION_CLONE(ProbeAction)

  std::string m_szCmd;
  bool m_bAsync = false;
  int m_nExecuted = 0;
};

}  // namespace tavlen::test
