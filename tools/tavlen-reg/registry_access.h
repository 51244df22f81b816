// The registry operations of tavlen-reg, over the Win32 registry calls.
// Every function returns a Win32 error code.
#pragma once

#include <string>
#include <vector>

#include "tools/tavlen-reg/reg_file.h"

namespace tavlen::reg {

// The values (as kSetValue edits, in enumeration order) and the sub key
// names of a key.
LONG ReadKey(const KeyPath& key, std::vector<RegEdit>& values, std::vector<std::string>& subKeys);
// One value of a key (its name as given).
LONG ReadValue(const KeyPath& key, const std::string& name, RegEdit& value);
// Whether the key exists: ERROR_SUCCESS or the error of opening it.
LONG OpenCheck(const KeyPath& key);
// Deletes the key with everything below it, deepest keys first.
LONG DeleteTree(const KeyPath& key);
// Applies one edit of a .reg file or of the command line.
LONG ApplyEdit(const RegEdit& edit);

// A short English description of a Win32 error code.
std::string ErrorText(LONG code);

}  // namespace tavlen::reg
