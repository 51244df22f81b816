// Linux: Windows paths of the agent mapped to the Unix file system and back.
// Internal to the Linux layer; every area that takes a path uses it.
//
// Drives: C: is $TAVLEN_PREFIX/drive_c, Z: is the Unix root "/", any other
// letter X: is $TAVLEN_PREFIX/drive_x (missing unless someone creates it).
// Backslashes and slashes both separate components; "." and ".." are
// resolved on the Windows side, so ".." never leaves a drive. A path that
// starts with one backslash is on the current folder's drive; a relative
// path resolves against the current folder. Components are code page 936 and
// are stored in UTF-8; one that does not exist with its exact name is
// matched without regard to ASCII case when exactly one entry matches.
#pragma once

#include <string>
#include <vector>

#include "platform/posix/win_base.h"

namespace tavlen::posix {

// A Windows path taken apart: its drive and its components after "." and
// ".." are resolved.
struct WindowsPath {
  char drive = 'C';
  std::vector<std::string> components;
  bool trailingSeparator = false;  // written with a separator at its end

  // "X:\a\b", with a trailing backslash only for a drive root (or when
  // keepTrailing is set and the path was written with one).
  std::string Format(bool keepTrailing = false) const;
};

// A Windows path with the Unix path it names.
struct MappedPath {
  WindowsPath windows;
  std::string unixPath;
  bool IsDriveRoot() const { return windows.components.empty(); }
};

// Parses and completes a Windows path, without touching the file system.
// 0 or a Win32 error: 3 for an empty path, 206 for MAX_PATH bytes or more,
// 3 when the full path reaches MAX_PATH, 53 for a network path.
DWORD ParseWindowsPath(const char* path, WindowsPath& parsed);

// Parses, checks the names (123 for < > : " | ? * and control characters)
// and maps a Windows path. The result names an entry that may not exist.
DWORD MapWindowsPath(const char* path, MappedPath& mapped);

// Maps an already parsed path (its names are checked as above).
DWORD MapParsedPath(const WindowsPath& parsed, std::string& unixPath);

// Windows form of a Unix path: inside a drive folder of the prefix C:\...,
// anything else Z:\... A relative path is taken from the current folder.
std::string UnixToWindowsPath(const std::string& unixPath);

// The Unix folder of a drive letter ("" for Z:, the root).
std::string DriveFolder(char letter);

// The Win32 error of a failed system call on unixPath: ENOENT gives 2 when
// the parent folder exists and 3 when it does not.
DWORD ErrorFromErrno(int error, const std::string& unixPath);

// True for a character of a Windows name that is never valid in a file name;
// wildcards are allowed when allowWildcards is set.
bool HasInvalidNameCharacters(const std::string& name, bool allowWildcards);

}  // namespace tavlen::posix
