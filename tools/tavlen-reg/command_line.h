// Command-line handling shared by the tavlen-reg commands: reg.exe-style
// switches (/v or -v, any letter case), messages and confirmations.
#pragma once

#include <string>
#include <vector>

#include "tools/tavlen-reg/key_path.h"

namespace tavlen::reg {

// The arguments after the command name, split into positional arguments and
// switches. Switches that take a value are named in valued.
struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> switches;  // lower-case name without "/", value

  bool Has(const std::string& name) const;
  std::string Value(const std::string& name) const;
};

// Parses; false with a message for an unknown switch or a missing value.
bool ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                    const std::vector<std::string>& valued, Arguments& parsed, std::string& error);

// Parses a key argument given on the command line (terminal encoding).
bool KeyArgument(const std::string& text, KeyPath& key, std::string& error);

// Prints "ERROR: message" to stderr and returns the failure exit status 1.
int Fail(const std::string& message);
// Prints the success line reg.exe prints and returns 0.
int Succeed();
// Asks a yes/no question on the terminal; anything but yes (or no answer) is no.
bool Confirm(const std::string& question);

}  // namespace tavlen::reg
