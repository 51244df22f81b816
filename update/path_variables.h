// The path variables a manifest may use: "${app_path}", "${win_path}" and
// "${sys32_path}", replaced by the folders found at start-up.
#pragma once

#include <string>

std::string ExpandPathVariables(std::string text);
