// The dialog framework: one modal dialog with the controls of the progress
// dialog's template, provided by a back end (Win32, FLTK or the console).
// The dialog's logic is written once against this interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/win32.h"

namespace ui {

// Control ids of the progress dialog's template.
enum ControlId : int {
  kCloseButton = 2,
  kStatusText = 1000,
  kFileBar = 1001,
  kUpdateButton = 1002,
  kTotalBar = 1003,
  kCurrentLabel = 1004,
  kNewestLabel = 1005,
};

// What the dialog's logic does when the framework calls it.
class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  // The controls exist; the handler fills them.
  virtual void OnInitDialog() = 0;
  // A button was pressed, or a command was posted to the dialog.
  virtual void OnCommand(int controlId) = 0;
};

class DialogFrame {
 public:
  virtual ~DialogFrame() = default;

  virtual bool HasControl(int id) const = 0;
  // Texts are bytes of code page 936.
  virtual void SetControlText(int id, const std::string& text) = 0;
  virtual void EnableControl(int id, bool enable) = 0;
  // Progress bars: the range is 0..total with the full 32-bit total.
  virtual void SetBarRange(int id, int32_t total) = 0;
  virtual void SetBarPosition(int id, int32_t position) = 0;
  virtual void ShowControl(int id) = 0;

  // Queues a button command that the dialog handles once it processes its
  // messages, as if the button had been pressed.
  virtual void PostCommand(int id) = 0;
  // Shows the dialog and runs it until it is closed.
  virtual int RunModal(DialogHandler& handler) = 0;

  // A message box owned by the dialog (style and answer as for MessageBoxA).
  virtual int MessageBox(const std::string& text, unsigned int style) = 0;
  // The native window, or none.
  virtual HWND Handle() const = 0;
};

enum class FrontEnd { kConsole, kGui };

// TAVLEN_UI=console selects the console; otherwise the graphical dialog when
// one can be shown (always on Windows; on Linux when DISPLAY is set).
FrontEnd ChooseFrontEnd();
std::unique_ptr<DialogFrame> CreateDialogFrame(FrontEnd frontEnd);
// A message box before the dialog exists (usage text, missing installation).
int ShowStandaloneMessage(FrontEnd frontEnd, const std::string& text, unsigned int style);

}  // namespace ui
