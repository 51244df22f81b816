// The "sendmessage" action against a real X client on a private Xvfb:
// repetition of WM_CLOSE, the question and its answers, the own window.
#include <gtest/gtest.h>

#include <string>

#include "actions/send_message_action.h"
#include "platform/win32.h"
#include "tests/windows/scripted_display.h"
#include "tests/windows/x_session.h"

namespace tavlen::test {
namespace {

class SendMessageX11Test : public testing::Test {
 protected:
  void SetUp() override {
    if (!ProgramXvfb().Started()) GTEST_SKIP() << "Xvfb could not be started";
  }
};

SendMessageAction CloseAction(const std::string& message = "WM_CLOSE", const std::string& description = "Player") {
  SendMessageAction action;
  action.SetAttribute("description", description);
  action.SetAttribute("classname", "TavlenPlayer");
  action.SetAttribute("title", "Tavlen Player");
  action.SetAttribute("message", message);
  return action;
}

TEST_F(SendMessageX11Test, AWindowThatClosesGetsOneRequestAndNoQuestion) {
  for (const char* message : {"WM_CLOSE", "wm_close", "16"}) {
    XTestClient client("TavlenPlayer", "Tavlen Player", "close");
    ASSERT_TRUE(client.Ready());
    ScriptedDisplay display;
    EXPECT_TRUE(CloseAction(message).Execute());
    EXPECT_TRUE(display.questions.empty()) << message;
    EXPECT_EQ(XTestClient::Count(client.Finish(), "close"), 1) << message;
  }
}

TEST_F(SendMessageX11Test, AWindowThatStaysOpenIsAskedAboutAfterEverySecondRequest) {
  struct Case {
    std::deque<int> answers;
    int requests;
    int questions;
  } const cases[] = {
      {{IDIGNORE}, 2, 1},
      {{IDABORT}, 2, 1},
      {{IDRETRY, IDIGNORE}, 4, 2},
      {{IDRETRY, IDRETRY, IDABORT}, 6, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.requests);
    XTestClient client("TavlenPlayer", "Tavlen Player", "ignore");
    ASSERT_TRUE(client.Ready());
    ScriptedDisplay display(c.answers);
    EXPECT_TRUE(CloseAction().Execute());
    EXPECT_EQ(XTestClient::Count(client.Finish(), "close"), c.requests);
    ASSERT_EQ(display.questions.size(), static_cast<size_t>(c.questions));
    EXPECT_EQ(display.questions[0], "无法关闭应用程序：Player");
    EXPECT_EQ(display.styles[0], 0x22u);
  }
}

TEST_F(SendMessageX11Test, AnEmptyDescriptionLeavesNothingAfterTheColon) {
  XTestClient client("TavlenPlayer", "Tavlen Player", "ignore");
  ASSERT_TRUE(client.Ready());
  ScriptedDisplay display({IDIGNORE});
  EXPECT_TRUE(CloseAction("WM_CLOSE", "").Execute());
  ASSERT_EQ(display.questions.size(), 1u);
  EXPECT_EQ(display.questions[0], "无法关闭应用程序：");
}

TEST_F(SendMessageX11Test, AConsoleRunAsksNobodyAndEndsAfterTheQuestion) {
  XTestClient client("TavlenPlayer", "Tavlen Player", "ignore");
  ASSERT_TRUE(client.Ready());
  SetMainWindow(nullptr);  // the silent display answers every question with Abort
  EXPECT_TRUE(CloseAction().Execute());
  EXPECT_EQ(XTestClient::Count(client.Finish(), "close"), 2);
}

TEST_F(SendMessageX11Test, OtherMessagesAreDeliveredOnceWithTheirParameters) {
  XTestClient client("TavlenPlayer", "Tavlen Player", "ignore");
  ASSERT_TRUE(client.Ready());
  ScriptedDisplay display;
  SendMessageAction action = CloseAction("273");
  action.SetAttribute("wparam", "5");
  action.SetAttribute("lparam", "-6");
  EXPECT_TRUE(action.Execute());
  EXPECT_TRUE(display.questions.empty());
  const auto lines = client.Finish();
  EXPECT_EQ(lines.size(), 1u);
  EXPECT_EQ(XTestClient::Count(lines, "message 273 5 -6"), 1);
}

LRESULT IgnoreOwnMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }

TEST_F(SendMessageX11Test, TheUpdatersOwnWindowGetsTheMessagePostedOnce) {
  XTestClient client("TavlenPlayer", "Tavlen Player", "ignore");
  ASSERT_TRUE(client.Ready());
  const HWND own = tavlen::posix::WindowFromXid(client.Window());
  tavlen::posix::SetOwnWindow(own, IgnoreOwnMessage);
  ScriptedDisplay display({}, own);
  EXPECT_TRUE(CloseAction().Execute());
  EXPECT_TRUE(display.questions.empty());
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, own);
  EXPECT_EQ(msg.message, WM_CLOSE);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "posted once";
  tavlen::posix::SetOwnWindow(nullptr, nullptr);
  EXPECT_EQ(XTestClient::Count(client.Finish(), "close"), 0) << "nothing went over X";
}

}  // namespace
}  // namespace tavlen::test
