// The FLTK back end of the dialog framework (Linux desktops): the progress
// dialog of template 102 in an FLTK window, run modally with Fl::wait.
//
// The window is the agent's own window of the Linux window layer: commands
// posted to it (PostCommand, PostMessageA) wait in that layer's queue until
// the dialog's loop or PumpOneMessage dispatches them, as on Windows.
#pragma once

#include <map>
#include <memory>

#include "platform/ui/dialog_frame.h"
#include "platform/ui/gui_trace.h"

class Fl_Double_Window;
class Fl_Progress;
class Fl_Widget;

namespace ui::fltk {

class FltkFrame final : public DialogFrame {
 public:
  FltkFrame();
  ~FltkFrame() override;
  FltkFrame(const FltkFrame&) = delete;
  FltkFrame& operator=(const FltkFrame&) = delete;

  bool HasControl(int id) const override;
  void SetControlText(int id, const std::string& text) override;
  void EnableControl(int id, bool enable) override;
  void SetBarRange(int id, int32_t total) override;
  void SetBarPosition(int id, int32_t position) override;
  void ShowControl(int id) override;
  void PostCommand(int id) override;
  int RunModal(DialogHandler& handler) override;
  int MessageBox(const std::string& text, unsigned int style) override;
  HWND Handle() const override;

  // A command as the dialog receives it: the close button (and Escape, the
  // close box, WM_CLOSE) ends the modal run while the close button is
  // enabled; every other command goes to the handler.
  void Command(int id);
  // Messages for the own window (WM_COMMAND, WM_CLOSE, WM_SYSCOMMAND).
  LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // For tests: the widget of a control, and whether the modal run has ended.
  Fl_Widget* Control(int id) const;
  Fl_Double_Window* Window() const { return m_window.get(); }

 private:
  struct Bar {
    Fl_Progress* widget = nullptr;
    int32_t total = 0;
    int32_t position = 0;
  };
  Bar* BarOf(int id);
  void ShowAbout();
  void TraceButtonPlaces();

  std::unique_ptr<Fl_Double_Window> m_window;
  std::map<int, Fl_Widget*> m_controls;
  Bar m_fileBar;
  Bar m_totalBar;
  DialogHandler* m_handler = nullptr;
  bool m_ended = false;
  GuiTrace m_trace;
};

}  // namespace ui::fltk
