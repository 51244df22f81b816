// Shared by the action tests: a display that records what the actions
// report, the test's own executable as the "running agent", and the child
// program the process tests start.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/display.h"

namespace tavlen::test {

class StatusRecorder : public ProgressDisplay {
 public:
  StatusRecorder() { SetMainWindow(this); }
  ~StatusRecorder() override { SetMainWindow(nullptr); }

  void SetStatusText(const std::string& text) override { status.push_back(text); }
  void SetFileProgress(int32_t position, int32_t total) override { fileProgress.emplace_back(position, total); }
  void SetTotalProgress(int32_t, int32_t) override {}
  void SetNewestVersion(const std::string&) override {}
  int ShowMessageBox(const std::string&, unsigned int) override { return 1; }

  std::vector<std::string> status;
  std::vector<std::pair<int32_t, int32_t>> fileProgress;
};

// Points the installation context's module values at path (folder and name
// split at the last backslash) for the life of the object.
class FakeModulePath {
 public:
  explicit FakeModulePath(const std::string& path);
  ~FakeModulePath();

 private:
  std::string m_path, m_dir, m_name;
};

// Windows path of the child program beside the test program; withExtension
// adds ".exe" on Windows (the name as it is on disk).
std::string ChildProgram(bool withExtension);

// Waits (bounded, 30 s) until a file exists; true when it does.
bool WaitForFile(const std::string& path);

// The lines of a text file, without line ends.
std::vector<std::string> ReadLines(const std::string& path);

}  // namespace tavlen::test
