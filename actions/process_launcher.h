// Starts a command line as a new process with a hidden window, and either
// returns at once or waits until the process has ended. The wait runs the
// process on a worker thread while the caller blocks on an event, so the
// caller sleeps until the process ends (or could not be started).
#pragma once

#include <string>

#include "platform/win32.h"

class ProcessLauncher {
 public:
  // wait: RunAndWait; else StartProcess, and the process runs on by itself.
  static bool Launch(const std::string& commandLine, bool wait);
  // CreateProcessA with the program found from the command line's first
  // token, normal priority, SW_HIDE. processInfo (optional) receives the
  // handles, also after a failure. True when the process was created.
  static bool StartProcess(const std::string& commandLine, PROCESS_INFORMATION* processInfo);
  // True once the wait has ended, whether or not the program could be
  // started; false only when the wait cannot be set up.
  static bool RunAndWait(const std::string& commandLine);

 private:
  struct WatchBlock {
    std::string commandLine;
    HANDLE done = nullptr;
  };
  // Worker thread: starts the process, waits for it, signals the event.
  static DWORD WINAPI WatchProcess(LPVOID block);
};
