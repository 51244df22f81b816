#include "platform/posix/process_command_line.h"

namespace tavlen::posix {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::vector<std::string> ProgramCandidates(const std::string& commandLine) {
  std::string::size_type start = 0;
  while (start < commandLine.size() && IsBlank(commandLine[start])) ++start;
  std::vector<std::string> candidates;
  if (start < commandLine.size() && commandLine[start] == '"') {
    const auto close = commandLine.find('"', start + 1);
    const auto end = close == std::string::npos ? commandLine.size() : close;
    candidates.push_back(commandLine.substr(start + 1, end - start - 1));
    return candidates;
  }
  std::string::size_type end = commandLine.size();
  while (end > start && IsBlank(commandLine[end - 1])) --end;
  for (auto i = start; i < end; ++i) {
    if (IsBlank(commandLine[i]) && !IsBlank(commandLine[i - 1])) candidates.push_back(commandLine.substr(start, i - start));
  }
  if (end > start) candidates.push_back(commandLine.substr(start, end - start));
  return candidates;
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string::size_type i = 0;
  const auto size = commandLine.size();
  while (true) {
    while (i < size && IsBlank(commandLine[i])) ++i;
    if (i >= size) break;
    std::string argument;
    bool quoted = false;
    while (i < size && (quoted || !IsBlank(commandLine[i]))) {
      if (commandLine[i] == '\\') {
        std::string::size_type run = 0;
        while (i < size && commandLine[i] == '\\') {
          ++run;
          ++i;
        }
        if (i < size && commandLine[i] == '"') {
          argument.append(run / 2, '\\');
          if (run % 2 == 1) {
            argument += '"';
            ++i;
          }
        } else {
          argument.append(run, '\\');
        }
        continue;
      }
      if (commandLine[i] == '"') {
        // Inside quotes a doubled quote is a literal one.
        if (quoted && i + 1 < size && commandLine[i + 1] == '"') {
          argument += '"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      argument += commandLine[i++];
    }
    arguments.push_back(argument);
  }
  return arguments;
}

}  // namespace tavlen::posix
