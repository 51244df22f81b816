// Linux: the prefix folder that holds the agent's small Windows machine:
// registry.db, drive_c (drive C:) and the user's profile below it.
#pragma once

#include <string>

namespace tavlen::posix {

// $TAVLEN_PREFIX, or ~/.tavlen when it is not set; without a trailing slash.
// The folder and drive_c are created on first use. Read once per process.
const std::string& PrefixFolder();

}  // namespace tavlen::posix
