// The graphical back ends of the dialog framework: Win32 on Windows, FLTK on
// Linux. Each build provides these three functions.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/dialog_frame.h"

namespace ui {

// True when a graphical dialog can be shown (a display on Linux).
bool GuiAvailable();
// The graphical frame of the progress dialog, or none when it cannot be made.
std::unique_ptr<DialogFrame> CreateGuiFrame();
// A message box without an owner window.
int ShowGuiMessage(const std::string& text, unsigned int style);

}  // namespace ui
