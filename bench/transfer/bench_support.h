// Small helpers of the transfer benchmarks: a wall clock, a reference tool's
// run time, and a progress display that draws a percentage on the terminal.
#pragma once

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/display.h"

namespace bench {

inline double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Seconds the shell command takes; negative when it fails.
inline double TimeCommand(const std::string& command) {
  const double start = Now();
  if (std::system(command.c_str()) != 0) return -1;
  return Now() - start;
}

// Draws the current-file bar as a percentage on stderr whenever it changes,
// as the console front end would.
class PercentDisplay final : public ProgressDisplay {
 public:
  void SetStatusText(const std::string& text) override { std::fprintf(stderr, "\n%s\n", text.c_str()); }
  void SetFileProgress(int32_t position, int32_t total) override {
    if (total > 0) m_total = total;
    const int percent = m_total > 0 ? static_cast<int>(100.0 * position / m_total) : 0;
    if (percent != m_percent) {
      m_percent = percent;
      std::fprintf(stderr, "\r%3d%%", percent);
    }
  }
  void SetTotalProgress(int32_t, int32_t) override {}
  void SetNewestVersion(const std::string&) override {}
  int ShowMessageBox(const std::string&, unsigned int) override { return 1; }

 private:
  int32_t m_total = 0;
  int m_percent = -1;
};

}  // namespace bench
