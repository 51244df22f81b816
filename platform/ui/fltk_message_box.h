// Message boxes of the FLTK back end, with the buttons and answers of
// MessageBoxA: a small modal window with the text, the buttons of the style
// from left to right, and the title of the application.
#pragma once

#include <string>
#include <vector>

namespace ui::fltk {

struct BoxButton {
  const char* ansiLabel;  // code page 936
  int answer;             // IDOK, IDCANCEL, ...
};

// The buttons of a MessageBoxA style, left to right.
std::vector<BoxButton> ButtonsFor(unsigned int style);
// The answer when the box is closed by its close box or Escape; 0 when the
// style has no such way out (as Windows disables the close box then).
int CloseAnswer(unsigned int style);

// Shows the box modally over the windows of the program and returns the
// answer. The text and the title are code page 936.
int RunMessageBox(const std::string& ansiText, const std::string& ansiTitle, unsigned int style);

}  // namespace ui::fltk
