// Shell shortcuts (.lnk files) in the shell's special folders, through the
// shell link object and the shell's file operation. Stateless: one object
// per shortcut command.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

// The fields of a shortcut as ReadLink gives them.
struct ShellLinkFields {
  std::string target;
  std::string arguments;
  std::string description;
  std::string iconFile;
  int32_t iconIndex = 0;
};

class ShellLink {
 public:
  virtual ~ShellLink() = default;

  // The special folder's file-system path with a trailing backslash; false
  // when the shell knows none for the folder number.
  bool SpecialFolderPath(int32_t folderId, std::string& path) const;
  // Writes the shortcut folder\name.lnk (name, target and the texts trimmed;
  // an empty target means the running agent). Arguments are written only when
  // not empty, the icon only with an icon file. True when it was saved.
  bool CreateLink(int32_t folderId, std::string name, std::string target, std::string arguments,
                  std::string description, std::string iconFile, int32_t iconIndex) const;
  // Deletes folder\name.lnk (name as given) for good, without asking.
  bool DeleteLink(int32_t folderId, const std::string& name) const;
  // True when folder\name.lnk (name as given) exists.
  bool LinkExists(int32_t folderId, const std::string& name) const;
  // Reads folder\name.lnk; the target and icon file come back in their long
  // form. A failure status (negative) leaves the fields not yet read empty.
  HRESULT ReadLink(HWND owner, int32_t folderId, const std::string& name, ShellLinkFields& fields) const;

 private:
  // The shortcut's path, false when there is no folder path or the result
  // does not fit MAX_PATH.
  bool LinkPath(int32_t folderId, const std::string& name, std::string& linkPath) const;
};

// The long form of a drive path (each component as the file system names it)
// and its length; 0 when the path is empty, does not exist, is not a drive
// path, or its long form would not fit MAX_PATH.
int ExpandToLongPath(const std::string& path, std::string& longPath);
