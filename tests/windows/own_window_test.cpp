// The Linux layer's queue for the agent's own window and its GUI pump hook,
// which the Linux dialog builds on (there is no such hook on Windows).
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32.h"

namespace {

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> g_handled;
int g_pumpCalls = 0;
bool g_pumpHasEvent = false;

LRESULT Handler(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  g_handled.push_back({message, wParam, lParam});
  return 42;
}

bool Pump() {
  ++g_pumpCalls;
  return g_pumpHasEvent;
}

class OwnWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    g_handled.clear();
    g_pumpCalls = 0;
    tavlen::posix::SetOwnWindow(m_own, Handler);
    tavlen::posix::SetMessagePump(nullptr);
  }
  void TearDown() override {
    tavlen::posix::SetMessagePump(nullptr);
    MSG drained{};
    while (PeekMessageA(&drained, nullptr, 0, 0, PM_REMOVE)) {
    }
    tavlen::posix::SetOwnWindow(nullptr, nullptr);
  }
  HWND m_own = tavlen::posix::WindowFromXid(0x123456);
};

TEST_F(OwnWindowTest, PostedMessagesWaitForTheQueueInOrder) {
  ASSERT_TRUE(PostMessageA(m_own, WM_COMMAND, 1, 2));
  ASSERT_TRUE(PostMessageA(m_own, WM_CLOSE, 0, 0));
  EXPECT_TRUE(g_handled.empty());  // posting never runs the handler
  EXPECT_TRUE(IsWindow(m_own));

  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_COMMAND);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_COMMAND);  // PM_NOREMOVE left it in place
  EXPECT_EQ(msg.hwnd, m_own);
  TranslateMessage(&msg);
  EXPECT_EQ(DispatchMessageA(&msg), 42);
  ASSERT_EQ(g_handled.size(), 1u);
  EXPECT_EQ(g_handled[0].wParam, 1u);
  EXPECT_EQ(g_handled[0].lParam, 2);

  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_CLOSE);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(OwnWindowTest, RangeFilterPicksMatchingMessages) {
  PostMessageA(m_own, WM_CLOSE, 0, 0);
  PostMessageA(m_own, WM_COMMAND, 3, 0);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_CLOSE);
}

TEST_F(OwnWindowTest, SendingRunsTheHandlerAtOnce) {
  EXPECT_EQ(SendMessageA(m_own, WM_COMMAND, 9, 0), 42);
  ASSERT_EQ(g_handled.size(), 1u);
  EXPECT_EQ(g_handled[0].message, WM_COMMAND);
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(OwnWindowTest, EmptyQueueAsksThePumpForOneEventWhenRemoving) {
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // no pump: nothing
  tavlen::posix::SetMessagePump(Pump);
  g_pumpHasEvent = false;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(g_pumpCalls, 1);
  g_pumpHasEvent = true;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(g_pumpCalls, 2);
  EXPECT_EQ(msg.message, WM_NULL);
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_TRUE(g_handled.empty());
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));  // peeking never pumps
  EXPECT_EQ(g_pumpCalls, 2);
  // A posted message is taken before the pump is asked.
  PostMessageA(m_own, WM_COMMAND, 0, 0);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_COMMAND);
  EXPECT_EQ(g_pumpCalls, 2);
}

}  // namespace
