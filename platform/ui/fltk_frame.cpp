#include "platform/ui/fltk_frame.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Progress.H>
#include <FL/x.H>

#include "platform/ui/fltk_about.h"
#include "platform/ui/fltk_layout.h"
#include "platform/ui/fltk_message_box.h"
#include "platform/ui/gui_text.h"
#include "platform/ui/gui_title.h"

namespace ui::fltk {

double BarFraction(int position, int total) {
  if (total <= 0) return 0.0;
  if (position <= 0) return 0.0;
  if (position >= total) return 1.0;
  return static_cast<double>(position) / static_cast<double>(total);
}

namespace {

constexpr unsigned kAboutCommand = 16;
constexpr int kLabelSize = 12;

// The one dialog whose window is the agent's own window.
FltkFrame* g_ownFrame = nullptr;

LRESULT OwnWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  return g_ownFrame != nullptr ? g_ownFrame->WindowMessage(message, wParam, lParam) : 0;
}

// (A widget's argument() shares its storage with the callback's data, so the
// id is looked up from the widget instead.)
void OnButton(Fl_Widget* widget, void* data) {
  auto* frame = static_cast<FltkFrame*>(data);
  for (int id : {static_cast<int>(kCloseButton), static_cast<int>(kUpdateButton)}) {
    if (frame->Control(id) == widget) frame->Command(id);
  }
}

// The close box and Escape act as the close button, as IDCANCEL does in a dialog.
void OnWindowClose(Fl_Widget*, void* data) { static_cast<FltkFrame*>(data)->Command(IDCANCEL); }

}  // namespace

FltkFrame::FltkFrame() {
  m_window = std::make_unique<Fl_Double_Window>(PixelsX(kDialogWidth), PixelsY(kDialogHeight), kDialogTitle);
  for (const ControlLayout& control : kTemplate102) {
    const int x = PixelsX(control.x);
    const int y = PixelsY(control.y);
    const int w = PixelsX(control.width);
    const int h = PixelsY(control.height);
    Fl_Widget* widget = nullptr;
    switch (control.kind) {
      case ControlKind::kButton: {
        auto* button = new Fl_Button(x, y, w, h);
        button->callback(OnButton, this);
        widget = button;
        break;
      }
      case ControlKind::kBar: {
        auto* bar = new Fl_Progress(x, y, w, h);
        bar->minimum(0.0f);
        bar->maximum(1.0f);
        bar->value(0.0f);
        bar->selection_color(fl_rgb_color(0x1E, 0x6F, 0xD9));
        bar->box(FL_THIN_DOWN_BOX);
        widget = bar;
        (control.id == kFileBar ? m_fileBar : m_totalBar).widget = bar;
        break;
      }
      case ControlKind::kStatic:
        widget = new Fl_Box(x, y, w, h);
        widget->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
        break;
    }
    widget->labelsize(kLabelSize);
    widget->copy_label(Utf8FromAnsi(control.ansiText).c_str());
    if (control.id != 0) m_controls[control.id] = widget;
  }
  m_window->end();
  m_window->callback(OnWindowClose, this);
  m_window->icon(ProgramIcon());
}

FltkFrame::~FltkFrame() {
  if (g_ownFrame == this) {
    tavlen::posix::SetOwnWindow(nullptr, nullptr);
    g_ownFrame = nullptr;
  }
  m_window->hide();
  Fl::flush();
}

Fl_Widget* FltkFrame::Control(int id) const {
  const auto it = m_controls.find(id);
  return it != m_controls.end() ? it->second : nullptr;
}

bool FltkFrame::HasControl(int id) const { return Control(id) != nullptr; }

void FltkFrame::SetControlText(int id, const std::string& text) {
  Fl_Widget* widget = Control(id);
  if (widget == nullptr) return;
  const std::string utf8 = Utf8FromAnsi(text);
  widget->copy_label(utf8.c_str());
  // A label drawn inside its box leaves the old text behind without this.
  if (widget->parent() != nullptr) widget->parent()->damage(FL_DAMAGE_ALL, widget->x(), widget->y(), widget->w(), widget->h());
  m_trace.Text(id, utf8);
}

void FltkFrame::EnableControl(int id, bool enable) {
  Fl_Widget* widget = Control(id);
  if (widget == nullptr) return;
  if (enable) {
    widget->activate();
  } else {
    widget->deactivate();
  }
  m_trace.Enabled(id, enable);
}

FltkFrame::Bar* FltkFrame::BarOf(int id) {
  if (id == kFileBar) return &m_fileBar;
  if (id == kTotalBar) return &m_totalBar;
  return nullptr;
}

void FltkFrame::SetBarRange(int id, int32_t total) {
  Bar* bar = BarOf(id);
  if (bar == nullptr) return;
  bar->total = total;
  bar->widget->value(static_cast<float>(BarFraction(bar->position, bar->total)));
  m_trace.Range(id, total);
}

void FltkFrame::SetBarPosition(int id, int32_t position) {
  Bar* bar = BarOf(id);
  if (bar == nullptr) return;
  // Like PBM_SETPOS: the position is kept within the range.
  bar->position = position < 0 ? 0 : (bar->total > 0 && position > bar->total ? bar->total : position);
  // The downloader moves the bar after every 4 KiB chunk: only a change of
  // a whole pixel (or an empty or full bar) reaches the widget.
  const double fraction = BarFraction(bar->position, bar->total);
  const int width = bar->widget->w();
  if (static_cast<int>(fraction * width) != static_cast<int>(bar->widget->value() * width) || fraction == 0.0 ||
      fraction == 1.0) {
    bar->widget->value(static_cast<float>(fraction));
  }
  m_trace.Position(id, bar->position);
}

void FltkFrame::ShowControl(int id) {
  Fl_Widget* widget = Control(id);
  if (widget == nullptr) return;
  widget->show();
  m_trace.Line(std::to_string(id) + " shown");
}

void FltkFrame::PostCommand(int id) {
  // Queued for the own window: handled once the dialog processes its
  // messages, as the posted WM_COMMAND is on Windows.
  PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

HWND FltkFrame::Handle() const {
  if (!m_window->shown()) return nullptr;
  return tavlen::posix::WindowFromXid(fl_xid(m_window.get()));
}

void FltkFrame::Command(int id) {
  if (id == IDCANCEL || id == IDOK) {
    // While the close button is disabled (a run is going on) nothing closes the dialog.
    Fl_Widget* close = Control(kCloseButton);
    if (close != nullptr && !close->active()) return;
    m_ended = true;
    m_window->hide();
    return;
  }
  if (m_handler != nullptr) m_handler->OnCommand(id);
}

LRESULT FltkFrame::WindowMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam));
      return 0;
    case WM_CLOSE:
      Command(IDCANCEL);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0u) == kAboutCommand) {
        ShowAbout();
      } else if ((wParam & 0xFFF0u) == SC_CLOSE) {
        Command(IDCANCEL);
      }
      return 0;
    default:
      return 0;
  }
}

void FltkFrame::ShowAbout() { RunAboutBox(); }

void FltkFrame::TraceButtonPlaces() {
  // Where the server put the window, which FLTK does not learn without a
  // window manager.
  XSync(fl_display, False);
  for (int id : {static_cast<int>(kUpdateButton), static_cast<int>(kCloseButton)}) {
    const Fl_Widget* button = Control(id);
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(fl_display, fl_xid(m_window.get()), RootWindow(fl_display, fl_screen), button->x(),
                          button->y(), &x, &y, &child);
    m_trace.Rect(id, x, y, button->w(), button->h());
  }
}

int FltkFrame::RunModal(DialogHandler& handler) {
  m_handler = &handler;
  m_ended = false;
  m_window->show();
  // The window must exist on the display before its id can name it.
  Fl::flush();
  g_ownFrame = this;
  tavlen::posix::SetOwnWindow(Handle(), OwnWindowMessage);
  m_trace.Line("window " + std::to_string(fl_xid(m_window.get())));
  if (m_trace.Active()) TraceButtonPlaces();
  handler.OnInitDialog();
  while (!m_ended) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      continue;
    }
    // A bounded wait: a message posted from another thread wakes nobody.
    Fl::wait(0.25);
  }
  m_trace.Line("closed");
  tavlen::posix::SetOwnWindow(nullptr, nullptr);
  g_ownFrame = nullptr;
  m_handler = nullptr;
  m_window->hide();
  Fl::flush();
  return IDCANCEL;
}

int FltkFrame::MessageBox(const std::string& text, unsigned int style) {
  return RunMessageBox(text, ProgramTitle(), style);
}

}  // namespace ui::fltk
