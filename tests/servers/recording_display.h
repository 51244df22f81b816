// A main window for tests: records every display operation and message box,
// answers message boxes with OK at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/display.h"

namespace tavlen::test {

class RecordingDisplay final : public ProgressDisplay {
 public:
  struct Bar {
    int32_t position = 0;
    int32_t total = 0;
  };
  struct Box {
    std::string text;
    unsigned int style = 0;
  };

  RecordingDisplay() { SetMainWindow(this); }
  ~RecordingDisplay() override { SetMainWindow(nullptr); }

  void SetStatusText(const std::string& text) override { statuses.push_back(text); }
  void SetFileProgress(int32_t position, int32_t total) override { fileCalls.push_back({position, total}); }
  void SetTotalProgress(int32_t position, int32_t total) override {
    totalCalls.push_back({position, total});
    if (total > 0) overall.total = total;
    overall.position = position;
  }
  void SetNewestVersion(const std::string& version) override { newest = version; }
  int ShowMessageBox(const std::string& text, unsigned int style) override {
    boxes.push_back({text, style});
    return IDOK;
  }

  // Forgets everything recorded so far.
  void Reset() {
    statuses.clear();
    fileCalls.clear();
    totalCalls.clear();
    overall = {};
    newest.clear();
    boxes.clear();
  }

  // How many status lines equal text.
  int Count(const std::string& text) const {
    int count = 0;
    for (const auto& status : statuses) count += status == text ? 1 : 0;
    return count;
  }
  bool Saw(const std::string& text) const { return Count(text) > 0; }

  std::vector<std::string> statuses;
  std::vector<Bar> fileCalls;
  std::vector<Bar> totalCalls;
  Bar overall;
  std::string newest;
  std::vector<Box> boxes;
};

}  // namespace tavlen::test
