// A test hook of the graphical back ends: with TAVLEN_UI_TRACE=<file> set,
// every change of a control is appended to that file as one line, so that a
// test driving the real program can follow the dialog without reading pixels.
//
// Lines: "<id> text <UTF-8 text>", "<id> enabled 0|1", "<id> range <total>",
// "<id> pos <position>" (only when the bar's whole percent changes, or at 0
// and at the end), "<id> shown", "window <handle>", "<id> rect <x> <y> <w>
// <h>" (a button's place on the screen, for a test that clicks it), "closed".
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace ui {

class GuiTrace {
 public:
  // Opens the file named by TAVLEN_UI_TRACE, if any.
  GuiTrace();
  ~GuiTrace();
  GuiTrace(const GuiTrace&) = delete;
  GuiTrace& operator=(const GuiTrace&) = delete;

  bool Active() const { return m_file != nullptr; }
  void Line(const std::string& line);
  void Text(int id, const std::string& utf8Text);
  void Enabled(int id, bool enabled);
  void Range(int id, int32_t total);
  void Position(int id, int32_t position);
  void Rect(int id, int x, int y, int width, int height);

 private:
  struct BarState {
    int id = 0;
    int32_t total = 0;
    int percent = -1;
  };
  BarState& Bar(int id);

  std::FILE* m_file = nullptr;
  BarState m_bars[2];
};

}  // namespace ui
