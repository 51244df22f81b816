// Another application's top-level window for the send-message tests: an
// x_test_client on Linux, a window on a thread of its own on Windows. It
// counts the close requests it gets and either closes on the first or
// ignores them all.
#pragma once

#include <memory>
#include <string>

#include "platform/win32.h"

namespace tavlen::test {

class TestWindow {
 public:
  TestWindow(const std::string& className, const std::string& title, bool closeOnRequest);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  // False when no window could be made (no display).
  bool Ready() const;
  // Closes the window if it is still there; the close requests it received.
  int Finish();

  struct Impl;

 private:
  std::unique_ptr<Impl> m_impl;
};

// True when windows can be shown here: on Linux a private Xvfb is started
// for the program; under wine a display must be given to the test.
bool WindowsAvailable();

}  // namespace tavlen::test
