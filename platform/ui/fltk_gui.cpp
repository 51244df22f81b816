// The FLTK back end's entry points: whether a display is there, the dialog's
// frame, message boxes without an owner, and the message pump that keeps the
// dialog alive while the downloader reads.
#include <FL/Fl.H>
#include <X11/Xlib.h>

#include <cstdlib>

#include "platform/ui/fltk_frame.h"
#include "platform/ui/fltk_message_box.h"
#include "platform/ui/gui_frames.h"
#include "platform/ui/gui_title.h"

namespace ui {

namespace {

// Redraws at most this often when no event is pending: the bars move once per
// chunk, far more often than anyone can see.
constexpr DWORD kRedrawIntervalMs = 40;

// PeekMessageA's step for FLTK: handles the pending events (Fl::check takes
// all of them, not only one) and says whether there were any. The downloader
// calls it after every 4 KiB chunk; asking the X connection costs a system
// call, so it is asked at most once per millisecond tick, which nobody can
// tell from at once. Without events the damaged widgets are still redrawn
// now and then, so the status line and the bars move during a download.
// (<chrono> does not compile with code page 936 literals; ticks suffice.)
bool PumpFltkEvents() {
  static DWORD lastLook = 0;
  static DWORD lastRedraw = 0;
  const DWORD now = GetTickCount();
  if (now == lastLook) return false;
  lastLook = now;
  if (Fl::ready()) {
    Fl::check();
    lastRedraw = GetTickCount();
    return true;
  }
  if (Fl::damage() && now - lastRedraw >= kRedrawIntervalMs) {
    Fl::flush();
    lastRedraw = now;
  }
  return false;
}

void PrepareFltk() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  // The dialog's texts are Chinese: a font with those glyphs, by its name.
  Fl::set_font(FL_HELVETICA, "WenQuanYi Micro Hei");
  Fl::set_font(FL_HELVETICA_BOLD, "WenQuanYi Micro Hei");
  Fl::scheme("gtk+");
  tavlen::posix::SetMessagePump(PumpFltkEvents);
}

}  // namespace

bool GuiAvailable() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return false;
  Display* connection = XOpenDisplay(display);
  if (connection == nullptr) return false;
  XCloseDisplay(connection);
  return true;
}

std::unique_ptr<DialogFrame> CreateGuiFrame() {
  if (!GuiAvailable()) return nullptr;
  PrepareFltk();
  return std::make_unique<fltk::FltkFrame>();
}

int ShowGuiMessage(const std::string& text, unsigned int style) {
  PrepareFltk();
  return fltk::RunMessageBox(text, ProgramTitle(), style);
}

}  // namespace ui
