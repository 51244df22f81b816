// Conversions of the program's texts (code page 936 bytes) for the graphical
// back ends: UTF-16 for the Win32 controls, UTF-8 for FLTK. Code page 936 is
// named explicitly, so the dialog reads right whatever the system's ANSI code
// page is.
#pragma once

#include <string>

#include "platform/win32.h"

namespace ui {

using WideText = std::basic_string<WCHAR>;

WideText WideFromAnsi(const std::string& ansiText);
std::string Utf8FromAnsi(const std::string& ansiText);
std::string Utf8FromWide(const WideText& wideText);

}  // namespace ui
