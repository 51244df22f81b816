#include <gtest/gtest.h>

#include "update/install_context.h"
#include "update/path_variables.h"

namespace {

class PathVariablesTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = AppContext();
    AppContext().m_szAppPath = "C:\\Prog & <Co>";
    AppContext().m_szWinPath = "C:\\windows";
    AppContext().m_szSys32Path = "C:\\windows\\system32";
  }
  void TearDown() override { AppContext() = saved_; }
  InstallContext saved_;
};

TEST_F(PathVariablesTest, ReplacesEachVariableEverywhereAndLeavesOtherTextAlone) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"${app_path}\\a.exe", "C:\\Prog & <Co>\\a.exe"},
      {"${win_path};${sys32_path};${win_path}", "C:\\windows;C:\\windows\\system32;C:\\windows"},
      {"${APP_PATH} ${app_path ${this_file}", "${APP_PATH} ${app_path ${this_file}"},
      {"no variables here", "no variables here"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandPathVariables(c.text), c.expected) << c.text;
}

TEST_F(PathVariablesTest, LaterPassesSeeTextInsertedByEarlierOnes) {
  AppContext().m_szAppPath = "${win_path}\\app";
  EXPECT_EQ(ExpandPathVariables("${app_path}"), "C:\\windows\\app");
  // ...but a pass does not rescan its own insertion.
  AppContext().m_szWinPath = "${win_path}";
  EXPECT_EQ(ExpandPathVariables("${win_path}!"), "${win_path}!");
}

}  // namespace
