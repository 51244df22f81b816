// The Linux window calls against a real X client on a private Xvfb.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/windows/x_session.h"

using tavlen::test::XTestClient;
using tavlen::test::ProgramXvfb;

namespace {

class WindowCallsTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!ProgramXvfb().Started()) GTEST_SKIP() << "Xvfb could not be started";
  }
};

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST_F(WindowCallsTest, FindWindowMatchesClassAndTitleAsWindowsDoes) {
  XTestClient client("TavlenProbe", "Probe Window", "ignore");
  ASSERT_TRUE(client.Ready());
  const HWND expected = tavlen::posix::WindowFromXid(client.Window());
  struct Case {
    const char* className;
    const char* title;
    bool found;
  } const cases[] = {
      {"TavlenProbe", "Probe Window", true},
      {"tavlenprobe", "PROBE WINDOW", true},  // case of ASCII letters does not matter
      {nullptr, "Probe Window", true},
      {"TavlenProbe", nullptr, true},
      {"TavlenProbe", "Probe", false},         // no prefix match
      {"TavlenProbe", "", false},              // an empty title is a title, not a wildcard
      {"", "Probe Window", false},             // no class has an empty name
      {"OtherClass", "Probe Window", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.className ? c.className : "(null)") + " / " + (c.title ? c.title : "(null)"));
    EXPECT_EQ(FindWindowA(c.className, c.title), c.found ? expected : nullptr);
  }
}

TEST_F(WindowCallsTest, FindWindowComparesChineseTitlesInCodePage936) {
  XTestClient client("TavlenProbe", Utf8(u8"升级程序"), "ignore");
  ASSERT_TRUE(client.Ready());
  EXPECT_EQ(FindWindowA("TavlenProbe", "升级程序"), tavlen::posix::WindowFromXid(client.Window()));
  EXPECT_EQ(FindWindowA("TavlenProbe", "升级"), nullptr);
}

TEST_F(WindowCallsTest, SendCloseReturnsAfterTheWindowHandledIt) {
  XTestClient client("TavlenCloser", "Closer", "close");
  ASSERT_TRUE(client.Ready());
  const HWND window = FindWindowA("TavlenCloser", "Closer");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindow(window));
  SendMessageA(window, WM_CLOSE, 0, 0);
  // Sending waits for the window, so it is already gone here.
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(FindWindowA("TavlenCloser", "Closer"), nullptr);
  EXPECT_EQ(XTestClient::Count(client.Finish(), "close"), 1);
}

TEST_F(WindowCallsTest, OtherMessagesCarryNumberAndParameters) {
  XTestClient client("TavlenProbe", "Parameters", "ignore");
  ASSERT_TRUE(client.Ready());
  const HWND window = tavlen::posix::WindowFromXid(client.Window());
  SendMessageA(window, WM_COMMAND, 5, -6);
  EXPECT_TRUE(PostMessageA(window, WM_USER + 1, 7, 8));
  EXPECT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
  SendMessageA(window, WM_NULL, 0, 0);  // handled after everything before it
  EXPECT_TRUE(IsWindow(window));
  const auto lines = client.Finish();
  EXPECT_EQ(XTestClient::Count(lines, "message 273 5 -6"), 1);
  EXPECT_EQ(XTestClient::Count(lines, "message 1025 7 8"), 1);
  EXPECT_EQ(XTestClient::Count(lines, "close"), 1);
  EXPECT_EQ(XTestClient::Count(lines, "message 0 0 0"), 1);
}

TEST_F(WindowCallsTest, CloseIsNotSentToAWindowThatDoesNotTakeIt) {
  XTestClient client("TavlenProbe", "No Delete", "close", {"nodelete"});
  ASSERT_TRUE(client.Ready());
  const HWND window = tavlen::posix::WindowFromXid(client.Window());
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(XTestClient::Count(client.Finish(), "close"), 0);
}

TEST_F(WindowCallsTest, AWindowThatIsGoneIsNoWindow) {
  unsigned long xid = 0;
  {
    XTestClient client("TavlenProbe", "Short Lived", "ignore", {"noping"});
    ASSERT_TRUE(client.Ready());
    xid = client.Window();
    EXPECT_TRUE(IsWindow(tavlen::posix::WindowFromXid(xid)));
  }
  const HWND gone = tavlen::posix::WindowFromXid(xid);
  EXPECT_FALSE(IsWindow(gone));
  SetLastError(0);
  EXPECT_FALSE(PostMessageA(gone, WM_CLOSE, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(IsWindow(nullptr));
}

}  // namespace
