// Path helpers shared by the run, the installation context and the actions.
// Paths are Windows paths in code page 936 and fit the 260-byte buffers of the
// Win32 calls: a path of MAX_PATH bytes or more is refused (false, or not
// found) instead of being cut.
#pragma once

#include <string>

// True when the path fits a MAX_PATH buffer with its terminating zero.
bool FitsMaxPath(const std::string& path);

// Creates the folder, and its missing parents when the parent is missing.
// True on success or when the folder already exists.
bool CreateDirectoryPath(const std::string& path);

// True when a find-first lookup of the path finds an entry (a file, a folder,
// or a wildcard match). A trailing backslash or a drive root counts as missing.
bool PathExists(const std::string& path);

// True when that lookup finds an entry with the directory attribute.
bool DirectoryExists(const std::string& path);

// The file name after the last backslash (double-byte aware); folder gets the
// text before it. No backslash, or only a leading one: the whole path is the
// name and folder is empty.
std::string SplitFileName(const std::string& path, std::string* folder = nullptr);

// True when the path is the running agent's own executable, compared without
// regard to case.
bool IsModulePath(const std::string& path);

// Where a new agent executable is written instead of over the running one:
// the agent's folder, a backslash, an underscore and its file name.
std::string ModuleReplacementPath();

// Every pair of adjacent backslashes replaced by one, in one left-to-right pass.
std::string CollapseDoubleBackslashes(const std::string& path);

// Empties and removes a folder; see the remove action for how its result is
// used. Read-only files are made writable before they are deleted.
bool DeleteDirectoryTree(const std::string& folder);
