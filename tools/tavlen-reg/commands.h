// The tavlen-reg commands. Each takes the arguments after its name and
// returns the process exit status: 0 on success, 1 on any failure.
#pragma once

#include <string>
#include <vector>

namespace tavlen::reg {

int QueryCommand(const std::vector<std::string>& args);
int AddCommand(const std::vector<std::string>& args);
int DeleteCommand(const std::vector<std::string>& args);
int ImportCommand(const std::vector<std::string>& args);
int ExportCommand(const std::vector<std::string>& args);

}  // namespace tavlen::reg
