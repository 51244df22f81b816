#include "platform/ui/gui_trace.h"

#include <cstdlib>

namespace ui {

GuiTrace::GuiTrace() {
  const char* path = std::getenv("TAVLEN_UI_TRACE");
  // Binary: the same LF lines on both targets.
  if (path != nullptr && *path != '\0') m_file = std::fopen(path, "ab");
}

GuiTrace::~GuiTrace() {
  if (m_file != nullptr) std::fclose(m_file);
}

void GuiTrace::Line(const std::string& line) {
  if (m_file == nullptr) return;
  std::fputs(line.c_str(), m_file);
  std::fputc('\n', m_file);
  // A test reads the file while the program runs.
  std::fflush(m_file);
}

void GuiTrace::Text(int id, const std::string& utf8Text) { Line(std::to_string(id) + " text " + utf8Text); }

void GuiTrace::Enabled(int id, bool enabled) { Line(std::to_string(id) + " enabled " + (enabled ? "1" : "0")); }

void GuiTrace::Rect(int id, int x, int y, int width, int height) {
  Line(std::to_string(id) + " rect " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(width) + " " +
       std::to_string(height));
}

GuiTrace::BarState& GuiTrace::Bar(int id) {
  for (BarState& bar : m_bars) {
    if (bar.id == id) return bar;
  }
  BarState& slot = m_bars[0].id == 0 ? m_bars[0] : m_bars[1];
  slot = BarState{id, 0, -1};
  return slot;
}

void GuiTrace::Range(int id, int32_t total) {
  if (m_file == nullptr) return;
  BarState& bar = Bar(id);
  bar.total = total;
  bar.percent = -1;
  Line(std::to_string(id) + " range " + std::to_string(total));
}

void GuiTrace::Position(int id, int32_t position) {
  if (m_file == nullptr) return;
  BarState& bar = Bar(id);
  // Downloads move a bar once per chunk: only whole-percent steps are worth a line.
  const int percent = bar.total > 0 ? static_cast<int>(static_cast<int64_t>(position) * 100 / bar.total) : 0;
  if (percent == bar.percent && position != 0 && position != bar.total) return;
  bar.percent = percent;
  Line(std::to_string(id) + " pos " + std::to_string(position));
}

}  // namespace ui
