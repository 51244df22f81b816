// Text rules of attribute values: environment expansion into the list and
// the manifest's doubled backslashes in path attributes.
#pragma once

#include <string>

// The value with its %NAME% references expanded as ExpandEnvironmentStringsA
// does. An expansion that needs more than the 260 characters of its buffer
// keeps the value unexpanded.
std::string ExpandEnvironment(const std::string& value);

// True for the attributes whose manifest text writes backslashes doubled:
// "file", "cmd" and "where" (exact, lower case).
bool IsPathAttributeName(const std::string& name);

// Every pair of backslashes, scanning left to right without overlap, becomes
// one. The trail byte of a double-byte character is never taken for a
// backslash, so a character ending in 0x5C stays whole.
std::string CollapseDoubledBackslashes(const std::string& value);
