// The caption of the message boxes: the application's title, which is the
// executable's file name without its extension (as the framework derives it
// when the program names no title of its own).
#pragma once

#include <string>

namespace ui {

std::string ProgramTitle();
// The title from a module path (after the last backslash or slash; the last dot of the
// file name starts the extension, a leading dot does not).
std::string TitleFromModulePath(const std::string& modulePath);

}  // namespace ui
