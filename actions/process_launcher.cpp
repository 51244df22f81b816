#include "actions/process_launcher.h"

#include <memory>
#include <new>
#include <vector>

bool ProcessLauncher::StartProcess(const std::string& commandLine, PROCESS_INFORMATION* processInfo) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(STARTUPINFOA);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  // CreateProcessA may write into the command line, so it gets its own copy.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  const BOOL created = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                                      nullptr, &startup, &info);
  if (processInfo != nullptr) *processInfo = info;
  return created != FALSE;
}

bool ProcessLauncher::Launch(const std::string& commandLine, bool wait) {
  if (wait) return RunAndWait(commandLine);
  PROCESS_INFORMATION info{};
  if (!StartProcess(commandLine, &info)) return false;
  // Nothing tracks a process that is not waited for: its handles go at once.
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

bool ProcessLauncher::RunAndWait(const std::string& commandLine) {
  std::unique_ptr<WatchBlock> block(new (std::nothrow) WatchBlock);
  if (!block) return false;
  block->commandLine = commandLine;
  block->done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (block->done == nullptr) return false;
  HANDLE worker = CreateThread(nullptr, 0, &ProcessLauncher::WatchProcess, block.get(), 0, nullptr);
  if (worker == nullptr) {
    // Without a worker nobody would ever signal the event: do not wait.
    CloseHandle(block->done);
    return false;
  }
  CloseHandle(worker);
  WaitForSingleObject(block->done, INFINITE);
  CloseHandle(block->done);
  return true;
}

DWORD WINAPI ProcessLauncher::WatchProcess(LPVOID parameter) {
  auto* block = static_cast<WatchBlock*>(parameter);
  HANDLE done = block->done;
  PROCESS_INFORMATION info{};
  if (StartProcess(block->commandLine, &info)) {
    HANDLE handles[2] = {done, info.hProcess};
    WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  // The caller frees the block once the event is set: touch nothing after it.
  SetEvent(done);
  return 0;
}
