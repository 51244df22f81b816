// Without an X display no other window exists.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/win32.h"

namespace {

TEST(NoDisplayTest, NoWindowIsFoundOrReached) {
  unsetenv("DISPLAY");  // before the layer's first use of the display
  EXPECT_EQ(FindWindowA(nullptr, nullptr), nullptr);
  EXPECT_EQ(FindWindowA("AnyClass", "Any Title"), nullptr);
  const HWND somewhere = tavlen::posix::WindowFromXid(0x200001);
  EXPECT_FALSE(IsWindow(somewhere));
  EXPECT_FALSE(PostMessageA(somewhere, WM_CLOSE, 0, 0));
  EXPECT_EQ(SendMessageA(somewhere, WM_CLOSE, 0, 0), 0);
}

}  // namespace
