#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ui/console_frame.h"
#include "platform/ui/gui_frames.h"

namespace ui {

FrontEnd ChooseFrontEnd() {
  const char* choice = std::getenv("TAVLEN_UI");
  if (choice != nullptr && std::strcmp(choice, "console") == 0) return FrontEnd::kConsole;
  return GuiAvailable() ? FrontEnd::kGui : FrontEnd::kConsole;
}

std::unique_ptr<DialogFrame> CreateDialogFrame(FrontEnd frontEnd) {
  if (frontEnd == FrontEnd::kGui) {
    if (auto frame = CreateGuiFrame()) return frame;
  }
  return std::make_unique<ConsoleFrame>();
}

int ShowStandaloneMessage(FrontEnd frontEnd, const std::string& text, unsigned int style) {
  if (frontEnd == FrontEnd::kGui) return ShowGuiMessage(text, style);
  ConsoleFrame console(stderr);
  return console.MessageBox(text, style);
}

}  // namespace ui
