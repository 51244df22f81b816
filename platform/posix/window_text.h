// Linux: texts of window names and classes (internal to the window area).
#pragma once

#include <string>

namespace tavlen::posix {

// A code page 936 text in UTF-8, the encoding X11 window names use.
// Bytes that are not valid code page 936 become U+FFFD.
std::string WindowTextFromAnsi(const std::string& ansi);
// A Latin-1 text (X11's STRING encoding) in UTF-8.
std::string WindowTextFromLatin1(const std::string& latin1);
// Equal apart from the case of ASCII letters, as Windows compares window
// classes and titles.
bool WindowTextEqual(const std::string& a, const std::string& b);

}  // namespace tavlen::posix
