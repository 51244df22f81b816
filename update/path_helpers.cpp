#include "update/path_helpers.h"

#include "platform/win32.h"
#include "update/install_context.h"
#include "update/string_helpers.h"

bool FitsMaxPath(const std::string& path) { return path.size() < MAX_PATH; }

bool CreateDirectoryPath(const std::string& path) {
  if (!FitsMaxPath(path)) return false;
  if (CreateDirectoryA(path.c_str(), nullptr)) return true;
  const DWORD error = GetLastError();
  if (error != ERROR_PATH_NOT_FOUND) return error == ERROR_ALREADY_EXISTS;
  const auto cut = LastBackslash(path);
  if (cut == std::string::npos || cut == 0) return false;
  if (!CreateDirectoryPath(path.substr(0, cut))) return false;
  return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

namespace {

bool FindEntry(const std::string& path, DWORD* attributes) {
  if (!FitsMaxPath(path)) return false;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(path.c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  if (attributes != nullptr) *attributes = entry.dwFileAttributes;
  return true;
}

}  // namespace

bool PathExists(const std::string& path) { return FindEntry(path, nullptr); }

bool DirectoryExists(const std::string& path) {
  DWORD attributes = 0;
  return FindEntry(path, &attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string SplitFileName(const std::string& path, std::string* folder) {
  const auto cut = LastBackslash(path);
  if (cut == std::string::npos || cut == 0) {
    if (folder != nullptr) folder->clear();
    return path;
  }
  if (folder != nullptr) *folder = path.substr(0, cut);
  return path.substr(cut + 1);
}

bool IsModulePath(const std::string& path) { return EqualsNoCase(path, AppContext().m_szModulePath); }

std::string ModuleReplacementPath() {
  const InstallContext& context = AppContext();
  return context.m_szModuleDir + "\\_" + context.m_szModuleName;
}

std::string CollapseDoubleBackslashes(const std::string& path) { return ReplaceAll(path, "\\\\", "\\"); }

bool DeleteDirectoryTree(const std::string& folder) {
  if (!FitsMaxPath(folder)) return false;
  if (RemoveDirectoryA(folder.c_str())) return true;
  if (GetLastError() != ERROR_DIR_NOT_EMPTY) return false;

  const std::string pattern = folder + "\\*.*";
  if (!FitsMaxPath(pattern)) return false;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(pattern.c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  while (true) {
    const std::string name = entry.cFileName;
    const std::string child = folder + "\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != "." && name != ".." && FitsMaxPath(child)) {
        DeleteDirectoryTree(child);
        RemoveDirectoryA(child.c_str());
      }
    } else {
      // A path too long for the buffers cannot be deleted: the tree stays.
      if (!FitsMaxPath(child)) {
        FindClose(find);
        return false;
      }
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileA(child.c_str())) {
        FindClose(find);
        return false;
      }
    }
    if (!FindNextFileA(find, &entry)) {
      // Only "no more files" ends the enumeration normally; any other error
      // ends it too, so the same entry is never processed without end.
      const DWORD error = GetLastError();
      FindClose(find);
      if (error != ERROR_NO_MORE_FILES) return false;
      break;
    }
  }
  RemoveDirectoryA(folder.c_str());
  return true;
}
