// Linux: how CreateProcessA reads a command line, following the Windows rules.
#pragma once

#include <string>
#include <vector>

namespace tavlen::posix {

// The names that may be the program, in the order Windows tries them: the
// quoted first token alone, or every prefix of an unquoted line that ends
// before a blank, shortest first, then the whole line.
std::vector<std::string> ProgramCandidates(const std::string& commandLine);

// The arguments as the MSVC runtime splits them: blanks separate, quotes
// group, 2n backslashes before a quote give n and the quote toggles, 2n+1
// give n and a literal quote, other backslashes are literal.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The Linux path of the program named by a Windows path or bare name, or
// the Win32 error (2, 3, 5, 193) when it cannot be started.
unsigned long FindProgram(const std::string& name, std::string& linuxPath);

}  // namespace tavlen::posix
