// The "sendmessage" action against a real X client on a private Xvfb: what
// goes over X11, and the agent's own window on Linux.
#include <gtest/gtest.h>

#include <string>

#include "actions/send_message_action.h"
#include "tests/windows/close_action.h"
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
