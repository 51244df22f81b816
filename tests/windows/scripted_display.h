// A main window for the send-message tests: it records the status lines and
// the questions asked, answers them from a script (Abort once the script is
// used up) and reports a chosen window as its own.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/display.h"

namespace tavlen::test {

class ScriptedDisplay : public ProgressDisplay {
 public:
  explicit ScriptedDisplay(std::deque<int> answers = {}, HWND own = nullptr) : m_answers(answers), m_own(own) {
    SetMainWindow(this);
  }
  ~ScriptedDisplay() override { SetMainWindow(nullptr); }

  void SetStatusText(const std::string& text) override { status.push_back(text); }
  void SetFileProgress(int32_t, int32_t) override {}
  void SetTotalProgress(int32_t, int32_t) override {}
  void SetNewestVersion(const std::string&) override {}
  int ShowMessageBox(const std::string& text, unsigned int style) override {
    questions.push_back(text);
    styles.push_back(style);
    if (m_answers.empty()) return IDABORT;
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
  }
  HWND WindowHandle() const override { return m_own; }

  std::vector<std::string> status;
  std::vector<std::string> questions;
  std::vector<unsigned int> styles;

 private:
  std::deque<int> m_answers;
  HWND m_own;
};

}  // namespace tavlen::test
