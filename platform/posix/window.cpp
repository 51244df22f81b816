// Linux: the message queue of the agent's own window, and the routing of
// window calls between that window and the other clients of the X display.
#include "platform/posix/win_window.h"

#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "platform/posix/window_text.h"
#include "platform/posix/window_x11.h"

namespace {

struct OwnWindowState {
  std::mutex lock;
  HWND window = nullptr;
  tavlen::posix::OwnWindowHandler handler = nullptr;
  bool (*pumpOne)() = nullptr;
  std::deque<MSG> queue;
};

OwnWindowState& State() {
  static OwnWindowState state;
  return state;
}

bool IsOwn(HWND window) {
  auto& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  return window != nullptr && window == state.window;
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
  // (HWND)-1 asks for messages posted to the thread itself.
  if (window == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) {
    if (msg.hwnd != nullptr) return false;
  } else if (window != nullptr && msg.hwnd != window) {
    return false;
  }
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

}  // namespace

namespace tavlen::posix {

void SetOwnWindow(HWND window, OwnWindowHandler handler) {
  auto& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  state.window = window;
  state.handler = handler;
}

void SetMessagePump(bool (*pumpOne)()) {
  auto& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  state.pumpOne = pumpOne;
}

}  // namespace tavlen::posix

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (msg == nullptr) return FALSE;
  auto& state = State();
  bool (*pumpOne)() = nullptr;
  HWND own = nullptr;
  {
    std::lock_guard<std::mutex> guard(state.lock);
    for (auto it = state.queue.begin(); it != state.queue.end(); ++it) {
      if (!Matches(*it, window, filterMin, filterMax)) continue;
      *msg = *it;
      if (removeFlags & PM_REMOVE) state.queue.erase(it);
      return TRUE;
    }
    pumpOne = state.pumpOne;
    own = state.window;
  }
  // The toolkit's events are handled inside its own step, outside our lock,
  // since handlers may post or send messages.
  if (!(removeFlags & PM_REMOVE) || pumpOne == nullptr || !pumpOne()) return FALSE;
  *msg = MSG{own, WM_NULL, 0, 0, GetTickCount(), POINT{0, 0}};
  return TRUE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || msg->message == WM_NULL) return 0;
  auto& state = State();
  tavlen::posix::OwnWindowHandler handler = nullptr;
  {
    std::lock_guard<std::mutex> guard(state.lock);
    if (msg->hwnd == nullptr || msg->hwnd != state.window) return 0;
    handler = state.handler;
  }
  return handler != nullptr ? handler(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& state = State();
  {
    std::lock_guard<std::mutex> guard(state.lock);
    if (window == nullptr || window == state.window) {
      state.queue.push_back(MSG{window, message, wParam, lParam, GetTickCount(), POINT{0, 0}});
      return TRUE;
    }
  }
  if (!tavlen::posix::x11::WindowExists(tavlen::posix::XidFromWindow(window))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  tavlen::posix::x11::Deliver(tavlen::posix::XidFromWindow(window), message, wParam, lParam, false);
  return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& state = State();
  tavlen::posix::OwnWindowHandler handler = nullptr;
  {
    std::lock_guard<std::mutex> guard(state.lock);
    if (window != nullptr && window == state.window) handler = state.handler;
  }
  if (handler != nullptr) return handler(window, message, wParam, lParam);
  if (window == nullptr || IsOwn(window)) return 0;
  if (!tavlen::posix::x11::Deliver(tavlen::posix::XidFromWindow(window), message, wParam, lParam, true)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  }
  return 0;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
  std::optional<std::string> classUtf8;
  std::optional<std::string> nameUtf8;
  if (className != nullptr) {
    if (*className == '\0') return nullptr;  // no window class has an empty name
    classUtf8 = tavlen::posix::WindowTextFromAnsi(className);
  }
  if (windowName != nullptr) nameUtf8 = tavlen::posix::WindowTextFromAnsi(windowName);
  const unsigned long found = tavlen::posix::x11::FindTopLevel(classUtf8 ? &*classUtf8 : nullptr,
                                                               nameUtf8 ? &*nameUtf8 : nullptr);
  return found != 0 ? tavlen::posix::WindowFromXid(found) : nullptr;
}

BOOL IsWindow(HWND window) {
  if (window == nullptr) return FALSE;
  if (IsOwn(window)) return TRUE;
  return tavlen::posix::x11::WindowExists(tavlen::posix::XidFromWindow(window)) ? TRUE : FALSE;
}
