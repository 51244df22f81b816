// The "sendmessage" action against another application's real window:
// repetition of WM_CLOSE, the question and its answers, the console run.
// On Linux the window is an X client on a private Xvfb; under wine a window
// of this program, which needs the display the test is run on.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "actions/send_message_action.h"
#include "tests/windows/close_action.h"
#include "tests/windows/scripted_display.h"
#include "tests/windows/test_window.h"

namespace tavlen::test {
namespace {

class SendMessageWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!WindowsAvailable()) GTEST_SKIP() << "no display to show windows on";
  }
};

TEST_F(SendMessageWindowTest, AWindowThatClosesGetsOneRequestAndNoQuestion) {
  for (const char* message : {"WM_CLOSE", "wm_close", "16"}) {
    TestWindow window("TavlenPlayer", "Tavlen Player", true);
    ASSERT_TRUE(window.Ready());
    ScriptedDisplay display;
    EXPECT_TRUE(CloseAction(message).Execute());
    EXPECT_TRUE(display.questions.empty()) << message;
    EXPECT_EQ(window.Finish(), 1) << message;
  }
}

TEST_F(SendMessageWindowTest, AWindowThatStaysOpenIsAskedAboutAfterEverySecondRequest) {
  struct Case {
    std::deque<int> answers;
    int requests;
    size_t questions;
  } const cases[] = {
      {{IDIGNORE}, 2, 1},
      {{IDABORT}, 2, 1},
      {{IDRETRY, IDIGNORE}, 4, 2},
      {{IDRETRY, IDRETRY, IDABORT}, 6, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.requests);
    TestWindow window("TavlenPlayer", "Tavlen Player", false);
    ASSERT_TRUE(window.Ready());
    ScriptedDisplay display(c.answers);
    EXPECT_TRUE(CloseAction().Execute());
    EXPECT_EQ(window.Finish(), c.requests);
    ASSERT_EQ(display.questions.size(), c.questions);
    EXPECT_EQ(display.questions[0], "无法关闭应用程序：Player");
    EXPECT_EQ(display.styles[0], 0x22u);
  }
}

TEST_F(SendMessageWindowTest, AnEmptyDescriptionLeavesNothingAfterTheColon) {
  TestWindow window("TavlenPlayer", "Tavlen Player", false);
  ASSERT_TRUE(window.Ready());
  ScriptedDisplay display({IDIGNORE});
  EXPECT_TRUE(CloseAction("WM_CLOSE", "").Execute());
  ASSERT_EQ(display.questions.size(), 1u);
  EXPECT_EQ(display.questions[0], "无法关闭应用程序：");
}

TEST_F(SendMessageWindowTest, AConsoleRunAsksNobodyAndEndsAfterTheQuestion) {
  TestWindow window("TavlenPlayer", "Tavlen Player", false);
  ASSERT_TRUE(window.Ready());
  SetMainWindow(nullptr);  // the silent display answers every question with Abort
  EXPECT_TRUE(CloseAction().Execute());
  EXPECT_EQ(window.Finish(), 2);
}

TEST_F(SendMessageWindowTest, OtherMessagesNeverRepeatOrAsk) {
  TestWindow window("TavlenPlayer", "Tavlen Player", false);
  ASSERT_TRUE(window.Ready());
  ScriptedDisplay display;
  EXPECT_TRUE(CloseAction("WM_COMMAND").Execute());
  EXPECT_TRUE(display.questions.empty());
  EXPECT_EQ(window.Finish(), 0);
}

}  // namespace
}  // namespace tavlen::test
