// Builds without a graphical back end: every dialog runs on the console.
#include "platform/ui/console_frame.h"
#include "platform/ui/gui_frames.h"

namespace ui {

bool GuiAvailable() { return false; }
std::unique_ptr<DialogFrame> CreateGuiFrame() { return nullptr; }
int ShowGuiMessage(const std::string& text, unsigned int style) {
  ConsoleFrame console(stderr);
  return console.MessageBox(text, style);
}

}  // namespace ui
