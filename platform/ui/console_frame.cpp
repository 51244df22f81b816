#include "platform/ui/console_frame.h"

#include <string>

#ifdef _WIN32
#include <io.h>
#define TAVLEN_ISATTY _isatty
#define TAVLEN_FILENO _fileno
#else
#include <unistd.h>
#define TAVLEN_ISATTY isatty
#define TAVLEN_FILENO fileno
#endif

namespace ui {

namespace {

constexpr int kBarWidth = 30;

const char* ButtonsOf(unsigned int style) {
  switch (style & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE:
      return "Abort/Retry/Ignore";
    case MB_OKCANCEL:
      return "OK/Cancel";
    case MB_YESNO:
      return "Yes/No";
    case MB_YESNOCANCEL:
      return "Yes/No/Cancel";
    case MB_RETRYCANCEL:
      return "Retry/Cancel";
    default:
      return "OK";
  }
}

const char* AnswerName(int answer) {
  switch (answer) {
    case IDABORT:
      return "Abort";
    case IDCANCEL:
      return "Cancel";
    case IDNO:
      return "No";
    default:
      return "OK";
  }
}

}  // namespace

std::string ToTerminalText(const std::string& ansiText) {
#ifdef _WIN32
  return ansiText;
#else
  if (ansiText.empty()) return ansiText;
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansiText.data(), static_cast<int>(ansiText.size()), nullptr, 0);
  if (wideLength <= 0) return ansiText;
  std::basic_string<WCHAR> wide(static_cast<std::size_t>(wideLength), 0);
  MultiByteToWideChar(CP_ACP, 0, ansiText.data(), static_cast<int>(ansiText.size()), wide.data(), wideLength);
  const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (utf8Length <= 0) return ansiText;
  std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr, nullptr);
  return utf8;
#endif
}

ConsoleFrame::ConsoleFrame(std::FILE* out) : m_out(out), m_tty(TAVLEN_ISATTY(TAVLEN_FILENO(out)) != 0) {}

ConsoleFrame::~ConsoleFrame() {
  if (m_barsDrawn) std::fflush(m_out);
}

bool ConsoleFrame::HasControl(int id) const {
  switch (id) {
    case kCloseButton:
    case kStatusText:
    case kFileBar:
    case kUpdateButton:
    case kTotalBar:
    case kCurrentLabel:
    case kNewestLabel:
      return true;
    default:
      return false;
  }
}

void ConsoleFrame::SetControlText(int id, const std::string& text) {
  // Empty texts are the dialog's initial state; the console shows only news.
  if (text.empty()) return;
  if (id == kStatusText || id == kCurrentLabel || id == kNewestLabel) PrintLine(text);
}

void ConsoleFrame::EnableControl(int, bool) {}

ConsoleFrame::Bar& ConsoleFrame::BarOf(int id) { return id == kTotalBar ? m_totalBar : m_fileBar; }

void ConsoleFrame::SetBarRange(int id, int32_t total) {
  Bar& bar = BarOf(id);
  bar.total = total;
  bar.shownPermille = -1;
}

void ConsoleFrame::SetBarPosition(int id, int32_t position) {
  Bar& bar = BarOf(id);
  const int64_t previous = bar.position;
  bar.position = position;
  if (m_tty) {
    DrawBars(false);
  } else if (id == kTotalBar && position != previous && bar.total > 0) {
    std::fprintf(m_out, "%s %lld/%lld\n", ToTerminalText("全部进度:").c_str(), static_cast<long long>(position),
                 static_cast<long long>(bar.total));
    std::fflush(m_out);
  }
}

void ConsoleFrame::ShowControl(int) {}

void ConsoleFrame::PostCommand(int id) { m_posted.push_back(id); }

int ConsoleFrame::RunModal(DialogHandler& handler) {
  handler.OnInitDialog();
  while (!m_posted.empty()) {
    const int id = m_posted.front();
    m_posted.pop_front();
    handler.OnCommand(id);
  }
  if (m_barsDrawn) {
    DrawBars(true);
    m_barsDrawn = false;
  }
  std::fflush(m_out);
  return IDCANCEL;
}

int ConsoleFrame::UnattendedAnswer(unsigned int style) {
  switch (style & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
    case MB_YESNOCANCEL:
      return IDCANCEL;
    case MB_YESNO:
      return IDNO;
    default:
      return IDOK;
  }
}

int ConsoleFrame::MessageBox(const std::string& text, unsigned int style) {
  const int answer = UnattendedAnswer(style);
  ClearBars();
  std::fprintf(m_out, "[%s] %s\n", ButtonsOf(style), ToTerminalText(text).c_str());
  if ((style & MB_TYPEMASK) != MB_OK) std::fprintf(m_out, "(no one to answer: %s)\n", AnswerName(answer));
  std::fflush(m_out);
  if (m_barsDrawn) DrawBars(true);
  return answer;
}

void ConsoleFrame::PrintLine(const std::string& ansiText) {
  ClearBars();
  std::fprintf(m_out, "%s\n", ToTerminalText(ansiText).c_str());
  if (m_barsDrawn) DrawBars(true);
  std::fflush(m_out);
}

void ConsoleFrame::ClearBars() {
  // Moves back over the two bar lines and clears them, so the next line
  // takes their place and the bars are drawn again below it.
  if (m_tty && m_barsDrawn) std::fputs("\x1b[2F\x1b[J", m_out);
}

void ConsoleFrame::DrawBars(bool force) {
  if (!m_tty) return;
  auto permille = [](const Bar& bar) {
    if (bar.total <= 0) return 0;
    const int64_t clamped = bar.position < 0 ? 0 : (bar.position > bar.total ? bar.total : bar.position);
    return static_cast<int>(clamped * 1000 / bar.total);
  };
  const int filePermille = permille(m_fileBar);
  const int totalPermille = permille(m_totalBar);
  // Redraw only when a bar moved visibly: a download reports every 4 KiB.
  if (!force && m_barsDrawn && filePermille == m_fileBar.shownPermille && totalPermille == m_totalBar.shownPermille) {
    return;
  }
  ClearBars();
  const struct {
    const char* label;
    int permille;
    std::string detail;
  } rows[2] = {
      {"当前文件", filePermille, std::to_string(filePermille / 10) + "%"},
      {"全    部", totalPermille,
       std::to_string(m_totalBar.position) + "/" + std::to_string(m_totalBar.total > 0 ? m_totalBar.total : 0)},
  };
  for (const auto& row : rows) {
    const int filled = row.permille * kBarWidth / 1000;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    std::fprintf(m_out, "%s [%s] %s\n", ToTerminalText(row.label).c_str(), bar.c_str(), row.detail.c_str());
  }
  std::fflush(m_out);
  m_fileBar.shownPermille = filePermille;
  m_totalBar.shownPermille = totalPermille;
  m_barsDrawn = true;
}

}  // namespace ui
