#include "tools/tavlen-reg/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "tools/tavlen-reg/text_encoding.h"

namespace tavlen::reg {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// "/v", "-VE": a slash or dash and letters only. Anything else, such as the
// file path "/tmp/a.reg", is a positional argument.
bool LooksLikeSwitch(const std::string& arg) {
  if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return false;
  return std::all_of(arg.begin() + 1, arg.end(), [](unsigned char c) { return std::isalpha(c) != 0; });
}

}  // namespace

bool Arguments::Has(const std::string& name) const {
  return std::any_of(switches.begin(), switches.end(), [&](const auto& item) { return item.first == name; });
}

std::string Arguments::Value(const std::string& name) const {
  for (const auto& item : switches) {
    if (item.first == name) return item.second;
  }
  return {};
}

bool ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                    const std::vector<std::string>& valued, Arguments& parsed, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!LooksLikeSwitch(arg)) {
      parsed.positional.push_back(arg);
      continue;
    }
    const std::string name = Lower(arg.substr(1));
    if (parsed.Has(name)) {
      error = "the switch " + arg + " is given twice";
      return false;
    }
    if (Contains(flags, name)) {
      parsed.switches.emplace_back(name, "");
    } else if (Contains(valued, name)) {
      if (i + 1 >= args.size()) {
        error = "the switch " + arg + " needs a value";
        return false;
      }
      parsed.switches.emplace_back(name, args[++i]);
    } else {
      error = "unknown switch " + arg;
      return false;
    }
  }
  return true;
}

bool KeyArgument(const std::string& text, KeyPath& key, std::string& error) {
  if (ParseKeyPath(FromTerminal(text), key)) return true;
  error = "invalid key name \"" + text + "\": it must start with HKLM, HKCU, HKCR, HKU or HKCC";
  return false;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "ERROR: %s\n", message.c_str());
  return 1;
}

int Succeed() {
  std::printf("The operation completed successfully.\n");
  return 0;
}

bool Confirm(const std::string& question) {
  std::fprintf(stderr, "%s (Yes/No)? ", question.c_str());
  std::fflush(stderr);
  char answer[16];
  if (std::fgets(answer, sizeof answer, stdin) == nullptr) {
    std::fprintf(stderr, "\n");
    return false;
  }
  return answer[0] == 'y' || answer[0] == 'Y';
}

}  // namespace tavlen::reg
