// The console back end of the dialog framework: the status line and the two
// bars on the terminal (redrawn in place on a TTY, plain lines otherwise),
// message boxes printed with the answer nobody could give taken for them.
#pragma once

#include <cstdio>
#include <deque>
#include <string>

#include "platform/ui/dialog_frame.h"

namespace ui {

class ConsoleFrame final : public DialogFrame {
 public:
  explicit ConsoleFrame(std::FILE* out = stdout);
  ~ConsoleFrame() override;

  bool HasControl(int id) const override;
  void SetControlText(int id, const std::string& text) override;
  void EnableControl(int id, bool enable) override;
  void SetBarRange(int id, int32_t total) override;
  void SetBarPosition(int id, int32_t position) override;
  void ShowControl(int id) override;
  void PostCommand(int id) override;
  // Initialises the dialog, handles every posted command, then returns: on a
  // console nobody can press a button, so the dialog closes when idle.
  int RunModal(DialogHandler& handler) override;
  int MessageBox(const std::string& text, unsigned int style) override;
  HWND Handle() const override { return nullptr; }

  // The answer a message box of this style gets when nobody can answer.
  static int UnattendedAnswer(unsigned int style);

 private:
  struct Bar {
    int64_t total = 0;
    int64_t position = 0;
    int shownPermille = -1;
  };
  Bar& BarOf(int id);
  void PrintLine(const std::string& ansiText);
  void DrawBars(bool force);
  void ClearBars();

  std::FILE* m_out;
  bool m_tty;
  bool m_barsDrawn = false;
  Bar m_fileBar;
  Bar m_totalBar;
  std::deque<int> m_posted;
};

// Terminal text from a code-page-936 text (UTF-8 on Linux; unchanged on Windows).
std::string ToTerminalText(const std::string& ansiText);

}  // namespace ui
