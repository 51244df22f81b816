#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/core/action_factory.h"
#include "app/updater_dialog.h"
#include "update/install_context.h"

namespace {

// A frame that records what the dialog does to its controls.
class RecordingFrame final : public ui::DialogFrame {
 public:
  bool HasControl(int id) const override { return id != missing; }
  void SetControlText(int id, const std::string& text) override {
    events.push_back("text " + std::to_string(id) + " " + text);
  }
  void EnableControl(int id, bool enable) override {
    events.push_back(std::string(enable ? "enable " : "disable ") + std::to_string(id));
  }
  void SetBarRange(int id, int32_t total) override {
    events.push_back("range " + std::to_string(id) + " " + std::to_string(total));
  }
  void SetBarPosition(int id, int32_t position) override {
    events.push_back("pos " + std::to_string(id) + " " + std::to_string(position));
  }
  void ShowControl(int id) override { events.push_back("show " + std::to_string(id)); }
  void PostCommand(int id) override { events.push_back("post " + std::to_string(id)); }
  int RunModal(ui::DialogHandler& handler) override {
    handler.OnInitDialog();
    return IDCANCEL;
  }
  int MessageBox(const std::string& text, unsigned int) override {
    events.push_back("box " + text);
    return IDOK;
  }
  HWND Handle() const override { return nullptr; }

  bool Has(const std::string& event) const {
    for (const auto& e : events)
      if (e == event) return true;
    return false;
  }
  std::vector<std::string> events;
  int missing = 0;
};

class UpdaterDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = AppContext();
    AppContext().m_szCurVersion = "1.2.3.4";
  }
  void TearDown() override { AppContext() = saved_; }
  InstallContext saved_;
  RecordingFrame frame_;
};

TEST_F(UpdaterDialogTest, OwnsTheActionPrototypesForItsLifetime) {
  {
    UpdaterDialog dialog(frame_);
    EXPECT_EQ(ActionFactory::Instance().Count(), ActionFactory::Instance().RegisterPrototypes());
  }
  EXPECT_EQ(ActionFactory::Instance().Count(), 0);
}

TEST_F(UpdaterDialogTest, InitialisationFillsLabelsAndBarsAndPostsTheUpdateOnlyWhenAuto) {
  for (const bool autoStart : {false, true}) {
    RecordingFrame frame;
    AppContext().m_bAutoStart = autoStart;
    UpdaterDialog dialog(frame);
    dialog.DoModal();
    EXPECT_TRUE(frame.Has("text 1004 当前版本号：1.2.3.4"));
    EXPECT_TRUE(frame.Has("range 1001 1000"));
    EXPECT_TRUE(frame.Has("range 1003 10"));
    EXPECT_EQ(frame.Has("post 1002"), autoStart);
  }
}

TEST_F(UpdaterDialogTest, NoUpdateButtonMeansNoAutomaticStart) {
  AppContext().m_bAutoStart = true;
  frame_.missing = 1002;
  UpdaterDialog dialog(frame_);
  dialog.DoModal();
  EXPECT_FALSE(frame_.Has("post 1002"));
}

TEST_F(UpdaterDialogTest, DisplayOperationsFollowTheBarRules) {
  UpdaterDialog dialog(frame_);
  frame_.events.clear();
  dialog.SetFileProgress(0, 0);
  dialog.SetFileProgress(500, 100000);
  dialog.SetTotalProgress(3, -1);
  EXPECT_EQ(frame_.events, (std::vector<std::string>{"show 1001", "pos 1001 0", "range 1001 100000",
                                                     "pos 1001 500", "pos 1003 3"}));
  dialog.SetNewestVersion("2.0.0.1");
  dialog.SetStatusText("状态");
  EXPECT_EQ(dialog.NewestLabel(), "最新版本号：2.0.0.1");
  EXPECT_EQ(dialog.CurrentLabel(), "当前版本号：1.2.3.4");
  EXPECT_TRUE(frame_.Has("text 1005 最新版本号：2.0.0.1"));
  EXPECT_TRUE(frame_.Has("text 1000 状态"));
}

TEST_F(UpdaterDialogTest, AnUpdateDisablesBothButtonsForTheRunAndEnablesThemAfter) {
  // Nothing listens on port 9 of the loopback: the run fails fast.
  AppContext().m_szUpdateUrl = "http://127.0.0.1:9/update.xml";
  UpdaterDialog dialog(frame_);
  frame_.events.clear();
  dialog.OnUpdateClicked();
  std::vector<std::string> buttons;
  for (const auto& e : frame_.events)
    if (e.rfind("enable", 0) == 0 || e.rfind("disable", 0) == 0) buttons.push_back(e);
  EXPECT_EQ(buttons, (std::vector<std::string>{"disable 1002", "disable 2", "enable 1002", "enable 2"}));
  EXPECT_EQ(dialog.RunCount(), 1);
  EXPECT_FALSE(dialog.LastRunSucceeded());
  EXPECT_TRUE(frame_.Has("range 1003 10"));
}

}  // namespace
