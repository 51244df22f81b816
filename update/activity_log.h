// The one channel for the agent's messages: each is appended as a line to
// "updater.log" in the current folder and, on request, shown on the status line.
#pragma once

#include <string>

class ActivityLog {
 public:
  // Appends text and a line end to the log (text mode: every LF is stored as
  // CR LF); show puts the text on the main window's status line as well. A log
  // that cannot be opened is skipped silently.
  static void LogActivity(const std::string& text, bool show);
};

inline void LogActivity(const std::string& text, bool show) { ActivityLog::LogActivity(text, show); }
