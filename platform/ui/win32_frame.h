// The Win32 back end of the dialog framework: the progress dialog from the
// program's dialog template 102, run by DialogBoxParam; the about box from
// template 100 through the system menu; the icon 128 in the caption and,
// while minimised, centred in the client area.
#pragma once

#include "platform/ui/dialog_frame.h"
#include "platform/ui/gui_trace.h"

namespace ui::win32 {

// Resource ids of the program (app/resources).
enum ResourceId : int {
  kAboutTemplate = 100,
  kAboutMenuText = 101,
  kDialogTemplate = 102,
  kProgramIcon = 128,
};
// The system-menu command of the about item.
inline constexpr unsigned kAboutCommand = 16;

// Where the icon goes in a minimised dialog's client area: centred, with the
// divisions truncating toward zero.
POINT CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

class Win32Frame final : public DialogFrame {
 public:
  Win32Frame();
  ~Win32Frame() override = default;
  Win32Frame(const Win32Frame&) = delete;
  Win32Frame& operator=(const Win32Frame&) = delete;

  bool HasControl(int id) const override;
  void SetControlText(int id, const std::string& text) override;
  void EnableControl(int id, bool enable) override;
  void SetBarRange(int id, int32_t total) override;
  void SetBarPosition(int id, int32_t position) override;
  void ShowControl(int id) override;
  void PostCommand(int id) override;
  int RunModal(DialogHandler& handler) override;
  int MessageBox(const std::string& text, unsigned int style) override;
  HWND Handle() const override { return m_hwnd; }

  HICON Icon() const { return m_icon; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  BOOL OnInitDialog();
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintMinimised();
  HWND Item(int id) const;

  // What a bar shows: the control is told only about changes of a whole
  // pixel, since every PBM_SETPOS repaints it.
  struct Bar {
    int32_t total = 100;
    int width = 0;
    int shownPixel = -1;
  };
  Bar* BarOf(int id);

  HWND m_hwnd = nullptr;
  Bar m_fileBar;
  Bar m_totalBar;
  HICON m_icon = nullptr;
  DialogHandler* m_handler = nullptr;
  GuiTrace m_trace;
};

}  // namespace ui::win32
