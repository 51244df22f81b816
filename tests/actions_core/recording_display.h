// A main window for tests that records what the logic shows, and a scope that
// installs it and moves the current folder (where "updater.log" is written)
// into a temporary folder.
#pragma once

#include <string>
#include <vector>

#include "app/display.h"
#include "platform/win32.h"
#include "tests/support/temp_folder.h"

namespace tavlen::test {

class RecordingDisplay : public ProgressDisplay {
 public:
  void SetStatusText(const std::string& text) override { m_statusTexts.push_back(text); }
  void SetFileProgress(int32_t, int32_t) override {}
  void SetTotalProgress(int32_t, int32_t) override {}
  void SetNewestVersion(const std::string& version) override { m_newestVersions.push_back(version); }
  int ShowMessageBox(const std::string&, unsigned int) override { return IDOK; }

  std::vector<std::string> m_statusTexts;
  std::vector<std::string> m_newestVersions;
};

class DisplayScope {
 public:
  DisplayScope() {
    char previous[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    m_previousFolder = previous;
    SetCurrentDirectoryA(m_folder.Path().c_str());
    SetMainWindow(&m_display);
  }
  ~DisplayScope() {
    SetMainWindow(nullptr);
    SetCurrentDirectoryA(m_previousFolder.c_str());
  }
  DisplayScope(const DisplayScope&) = delete;
  DisplayScope& operator=(const DisplayScope&) = delete;

  RecordingDisplay& Display() { return m_display; }

 private:
  TempFolder m_folder;
  std::string m_previousFolder;
  RecordingDisplay m_display;
};

}  // namespace tavlen::test
