// Linux: the X11 side of the window calls (internal to the window area).
#pragma once

#include <string>

#include "platform/posix/win_base.h"

namespace tavlen::posix::x11 {

// The top-level client window with this class and name (null: any), 0 when
// there is none or no display.
unsigned long FindTopLevel(const std::string* classUtf8, const std::string* nameUtf8);
// True while the window exists on the display.
bool WindowExists(unsigned long window);
// Delivers a message to another client's window; with wait, returns once the
// window has handled it (or after a bounded time). False when the window is
// gone or does not take the message.
bool Deliver(unsigned long window, UINT message, WPARAM wParam, LPARAM lParam, bool wait);

}  // namespace tavlen::posix::x11
