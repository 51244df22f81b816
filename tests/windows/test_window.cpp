#include "tests/windows/test_window.h"

#ifdef _WIN32

#include <atomic>
#include <thread>

namespace tavlen::test {

namespace {
constexpr UINT kFinish = WM_APP + 1;
}

struct TestWindow::Impl {
  std::string className;
  std::string title;
  bool closeOnRequest = false;
  std::atomic<int> closes{0};
  std::atomic<HWND> window{nullptr};
  HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread thread;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Impl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_CLOSE) {
      ++self->closes;
      if (self->closeOnRequest) DestroyWindow(window);
      return 0;
    }
    if (message == kFinish) {
      DestroyWindow(window);
      return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
  }

  void Run() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className.c_str();
    RegisterClassA(&windowClass);  // already registered by an earlier window: fine
    HWND made = CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 80, 40, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
    if (made != nullptr) SetWindowLongPtrA(made, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window = made;
    SetEvent(created);
    if (made == nullptr) return;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  }
};

TestWindow::TestWindow(const std::string& className, const std::string& title, bool closeOnRequest)
    : m_impl(std::make_unique<Impl>()) {
  m_impl->className = className;
  m_impl->title = title;
  m_impl->closeOnRequest = closeOnRequest;
  m_impl->thread = std::thread([this] { m_impl->Run(); });
  WaitForSingleObject(m_impl->created, INFINITE);
}

TestWindow::~TestWindow() {
  Finish();
  CloseHandle(m_impl->created);
}

bool TestWindow::Ready() const { return m_impl->window.load() != nullptr; }

int TestWindow::Finish() {
  if (m_impl->thread.joinable()) {
    const HWND window = m_impl->window.load();
    if (window != nullptr && IsWindow(window)) SendMessageA(window, kFinish, 0, 0);
    m_impl->thread.join();
  }
  return m_impl->closes.load();
}

bool WindowsAvailable() {
  // Under wine a window needs an X display; with none, nothing can be made.
  TestWindow probe("TavlenDisplayProbe", "probe", true);
  return probe.Ready();
}

}  // namespace tavlen::test

#else

#include "tests/windows/x_session.h"

namespace tavlen::test {

struct TestWindow::Impl {
  explicit Impl(const std::string& className, const std::string& title, bool closeOnRequest)
      : client(className, title, closeOnRequest ? "close" : "ignore") {}
  XTestClient client;
  int closes = -1;
};

TestWindow::TestWindow(const std::string& className, const std::string& title, bool closeOnRequest)
    : m_impl(std::make_unique<Impl>(className, title, closeOnRequest)) {}

TestWindow::~TestWindow() = default;

bool TestWindow::Ready() const { return m_impl->client.Ready(); }

int TestWindow::Finish() {
  if (m_impl->closes < 0) m_impl->closes = XTestClient::Count(m_impl->client.Finish(), "close");
  return m_impl->closes;
}

bool WindowsAvailable() { return ProgramXvfb().Started(); }

}  // namespace tavlen::test

#endif
