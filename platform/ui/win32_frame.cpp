#include "platform/ui/win32_frame.h"

#include <commctrl.h>

#include "platform/ui/gui_text.h"
#include "platform/ui/gui_title.h"

namespace ui::win32 {

namespace {

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(window, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

POINT CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
  // C++ division truncates toward zero, as the drawing rule asks.
  return POINT{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

Win32Frame::Win32Frame() {
  m_icon = LoadIconW(ProgramInstance(), MAKEINTRESOURCEW(kProgramIcon));
}

HWND Win32Frame::Item(int id) const { return m_hwnd != nullptr ? GetDlgItem(m_hwnd, id) : nullptr; }

bool Win32Frame::HasControl(int id) const { return Item(id) != nullptr; }

void Win32Frame::SetControlText(int id, const std::string& text) {
  HWND item = Item(id);
  if (item == nullptr) return;
  SetWindowTextW(item, WideFromAnsi(text).c_str());
  if (m_trace.Active()) m_trace.Text(id, Utf8FromAnsi(text));
}

void Win32Frame::EnableControl(int id, bool enable) {
  HWND item = Item(id);
  if (item == nullptr) return;
  EnableWindow(item, enable ? TRUE : FALSE);
  m_trace.Enabled(id, enable);
}

Win32Frame::Bar* Win32Frame::BarOf(int id) {
  if (id == kFileBar) return &m_fileBar;
  if (id == kTotalBar) return &m_totalBar;
  return nullptr;
}

void Win32Frame::SetBarRange(int id, int32_t total) {
  HWND item = Item(id);
  if (item == nullptr) return;
  // PBM_SETRANGE would cut the total to 16 bits.
  SendMessageW(item, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
  if (Bar* bar = BarOf(id)) {
    RECT client{};
    GetClientRect(item, &client);
    bar->total = total;
    bar->width = client.right - client.left;
    bar->shownPixel = -1;
  }
  m_trace.Range(id, total);
}

void Win32Frame::SetBarPosition(int id, int32_t position) {
  if (m_hwnd == nullptr) return;
  // The downloader moves the bar after every 4 KiB chunk, and each
  // PBM_SETPOS repaints the control: only a change of a whole pixel (or an
  // empty or full bar) is passed on. The test comes before the control is
  // looked up, since every call into the window system costs a round trip.
  if (Bar* bar = BarOf(id); bar != nullptr && bar->total > 0 && bar->width > 0) {
    const int64_t kept = position < 0 ? 0 : (position > bar->total ? bar->total : position);
    const int pixel = static_cast<int>(kept * bar->width / bar->total);
    if (pixel == bar->shownPixel && kept != 0 && kept != bar->total) return;
    bar->shownPixel = pixel;
  }
  HWND item = Item(id);
  if (item == nullptr) return;
  SendMessageW(item, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  m_trace.Position(id, position);
}

void Win32Frame::ShowControl(int id) {
  HWND item = Item(id);
  if (item == nullptr) return;
  ShowWindow(item, SW_SHOW);
  m_trace.Line(std::to_string(id) + " shown");
}

void Win32Frame::PostCommand(int id) {
  PostMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

int Win32Frame::RunModal(DialogHandler& handler) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  m_handler = &handler;
  const INT_PTR result = DialogBoxParamW(ProgramInstance(), MAKEINTRESOURCEW(kDialogTemplate), nullptr, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  m_trace.Line("closed");
  m_handler = nullptr;
  m_hwnd = nullptr;
  return static_cast<int>(result);
}

int Win32Frame::MessageBox(const std::string& text, unsigned int style) {
  return MessageBoxW(m_hwnd, WideFromAnsi(text).c_str(), WideFromAnsi(ProgramTitle()).c_str(), style);
}

INT_PTR CALLBACK Win32Frame::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* frame = reinterpret_cast<Win32Frame*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    frame->m_hwnd = window;
    return frame->OnInitDialog();
  }
  auto* frame = reinterpret_cast<Win32Frame*>(GetWindowLongPtrW(window, DWLP_USER));
  return frame != nullptr ? frame->OnMessage(message, wParam, lParam) : FALSE;
}

BOOL Win32Frame::OnInitDialog() {
  m_trace.Line("window " + std::to_string(reinterpret_cast<uintptr_t>(m_hwnd)));
  for (int id : {static_cast<int>(kUpdateButton), static_cast<int>(kCloseButton)}) {
    RECT place{};
    if (GetWindowRect(Item(id), &place)) {
      m_trace.Rect(id, place.left, place.top, place.right - place.left, place.bottom - place.top);
    }
  }
  HMENU systemMenu = GetSystemMenu(m_hwnd, FALSE);
  if (systemMenu != nullptr) {
    WCHAR aboutText[128] = {};
    if (LoadStringW(ProgramInstance(), kAboutMenuText, aboutText, 128) > 0) {
      AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(systemMenu, MF_STRING, kAboutCommand, aboutText);
    }
  }
  SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
  SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
  m_handler->OnInitDialog();
  return TRUE;  // the dialog manager puts the focus on the first control
}

void Win32Frame::PaintMinimised() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(m_hwnd, &paint);
  SendMessageW(m_hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(m_hwnd, &client);
  const POINT origin = CenteredIconOrigin(client.right - client.left, client.bottom - client.top,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
  DrawIcon(dc, origin.x, origin.y, m_icon);
  EndPaint(m_hwnd, &paint);
}

INT_PTR Win32Frame::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK || id == IDCANCEL) {
        // Enter, Escape and WM_CLOSE end the dialog like the close button,
        // and like it not while a run has it disabled.
        HWND close = Item(kCloseButton);
        if (close == nullptr || IsWindowEnabled(close)) EndDialog(m_hwnd, id);
        return TRUE;
      }
      if (HIWORD(wParam) == BN_CLICKED && m_handler != nullptr) m_handler->OnCommand(id);
      return TRUE;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == kAboutCommand) {
        DialogBoxParamW(ProgramInstance(), MAKEINTRESOURCEW(kAboutTemplate), m_hwnd, AboutProc, 0);
        return TRUE;
      }
      return FALSE;
    case WM_PAINT:
      if (!IsIconic(m_hwnd)) return FALSE;
      PaintMinimised();
      return TRUE;
    case WM_QUERYDRAGICON:
      // One of the messages whose answer a dialog procedure returns directly.
      return reinterpret_cast<INT_PTR>(m_icon);
    default:
      return FALSE;
  }
}

}  // namespace ui::win32
