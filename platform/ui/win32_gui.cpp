// The Win32 back end's entry points: Windows always has a desktop.
#include "platform/ui/gui_frames.h"
#include "platform/ui/gui_text.h"
#include "platform/ui/gui_title.h"
#include "platform/ui/win32_frame.h"

namespace ui {

bool GuiAvailable() { return true; }

std::unique_ptr<DialogFrame> CreateGuiFrame() { return std::make_unique<win32::Win32Frame>(); }

int ShowGuiMessage(const std::string& text, unsigned int style) {
  return MessageBoxW(nullptr, WideFromAnsi(text).c_str(), WideFromAnsi(ProgramTitle()).c_str(), style);
}

}  // namespace ui
