// Fixture for manifest tests: an installation context with a known installed
// version and folders, the probe action registered under the type names the
// tests use, and a recording main window.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "actions/core/action_factory.h"
#include "tests/actions_core/probe_action.h"
#include "tests/actions_core/recording_display.h"
#include "update/install_context.h"

namespace tavlen::test {

class ManifestTest : public testing::Test {
 protected:
  void SetUp() override {
    m_savedContext = AppContext();
    AppContext().m_szCurVersion = "2.1.0.6";
    AppContext().m_szAppPath = "C:\\Program Files\\Tavlen";
    AppContext().m_szWinPath = "C:\\windows";
    AppContext().m_szSys32Path = "C:\\windows\\system32";
    for (const char* type : {"probe", "echo"}) {
      ActionFactory::Instance().Register(std::make_unique<ProbeAction>(type));
    }
  }
  void TearDown() override {
    ActionFactory::Instance().DestroyPrototypes();
    AppContext() = m_savedContext;
  }

  RecordingDisplay& Display() { return m_scope.Display(); }
  // The last line shown on the status line, or empty.
  std::string LastStatus() {
    return Display().m_statusTexts.empty() ? std::string() : Display().m_statusTexts.back();
  }

 private:
  InstallContext m_savedContext;
  DisplayScope m_scope;
};

}  // namespace tavlen::test
