// Test support for the X11 window tests: a private Xvfb server for the test
// program, and the x_test_client program running on it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tavlen::test {

// Starts Xvfb on a free display (it picks the number itself) and points
// $DISPLAY at it; stops it on destruction. Started() is false when Xvfb is
// not installed or did not come up.
class XvfbServer {
 public:
  XvfbServer();
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;
  bool Started() const { return m_pid > 0 && !m_display.empty(); }
  const std::string& Display() const { return m_display; }

 private:
  pid_t m_pid = -1;
  std::string m_display;
};

// The test program's own Xvfb, started on first use and stopped at exit.
XvfbServer& ProgramXvfb();

// One x_test_client process with its window mapped (the constructor waits
// for its "ready" line). Finish() closes its stdin, waits for it to exit and
// returns every line it reported.
class XTestClient {
 public:
  XTestClient(const std::string& className, const std::string& title, const std::string& mode,
              const std::vector<std::string>& options = {});
  ~XTestClient();
  XTestClient(const XTestClient&) = delete;
  XTestClient& operator=(const XTestClient&) = delete;

  bool Ready() const { return m_window != 0; }
  unsigned long Window() const { return m_window; }
  std::vector<std::string> Finish();
  // How many of the lines are exactly this text.
  static int Count(const std::vector<std::string>& lines, const std::string& text);

 private:
  std::string ReadLine();

  pid_t m_pid = -1;
  int m_stdin = -1;
  int m_stdout = -1;
  unsigned long m_window = 0;
  std::string m_pending;
};

}  // namespace tavlen::test
