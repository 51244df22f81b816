// Linux: the Windows view of the environment, for the other areas of the
// layer (the process launcher passes it on, the shell finds the profile).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tavlen::posix {

// The value of a variable as GetEnvironmentVariableA sees it; false when
// the name is not defined. Names are compared without regard to case.
bool LookUpVariable(const std::string& name, std::string& value);

// Every variable of the Windows view, the defaults included, in code page 936.
std::vector<std::pair<std::string, std::string>> WindowsEnvironment();

// The user's name as Windows shows it (USERNAME's default).
std::string UserName();

// Creates the default folders of the prefix once per process: the Windows
// and system folders, the user's profile with AppData and Temp, Program
// Files, ProgramData and the public profile.
void EnsureProfileFolders();

}  // namespace tavlen::posix
