// The display operations through which the update logic reports to the user,
// and the application's main window that carries them.
//
// The progress dialog implements them on its controls; the console front end
// on the terminal. Until a main window is set, MainWindow() returns a display
// that shows nothing, so the logic can run (and be tested) without one.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;

  // Replaces the status line with exactly this text.
  virtual void SetStatusText(const std::string& text) = 0;
  // Current-file bar: a total above 0 sets the range 0..total; position 0
  // makes the bar visible; then the position is set.
  virtual void SetFileProgress(int32_t position, int32_t total) = 0;
  // The same for the overall bar.
  virtual void SetTotalProgress(int32_t position, int32_t total) = 0;
  // Newest-version label := "最新版本号：" followed by the version.
  virtual void SetNewestVersion(const std::string& version) = 0;

  // A message box owned by this window, captioned with the application's
  // title; style as for MessageBoxA (MB_OK, MB_ICONINFORMATION, ...).
  // Returns the button chosen (IDOK, IDRETRY, ...). A front end with nobody to
  // ask returns at once with the answer that ends the question.
  virtual int ShowMessageBox(const std::string& text, unsigned int style) = 0;

  // The native window of this display, or none (console, tests).
  virtual HWND WindowHandle() const { return nullptr; }
};

// The application's main window; never null.
ProgressDisplay& MainWindow();
// Makes the display the main window (none restores the silent display).
void SetMainWindow(ProgressDisplay* display);

// The application's title: the executable's file name without its extension.
std::string ApplicationTitle();
