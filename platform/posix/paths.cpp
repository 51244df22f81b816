// Full paths, the current folder and the temporary folder.
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/posix/environment.h"
#include "platform/posix/path_map.h"
#include "platform/posix/string_out.h"
#include "platform/posix/win_files.h"

DWORD GetFullPathNameA(LPCSTR path, DWORD size, LPSTR buffer, LPSTR* filePart) {
  tavlen::posix::WindowsPath parsed;
  if (const DWORD error = tavlen::posix::ParseWindowsPath(path, parsed); error != ERROR_SUCCESS) {
    SetLastError(error);
    return 0;
  }
  const std::string full = parsed.Format(true);
  const DWORD result = tavlen::posix::CopyOut(full, buffer, size);
  if (filePart != nullptr && result < size) {
    const bool endsInName = !parsed.components.empty() && !parsed.trailingSeparator;
    *filePart = endsInName ? buffer + (full.size() - parsed.components.back().size()) : nullptr;
  }
  return result;
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  char folder[PATH_MAX];
  if (getcwd(folder, sizeof folder) == nullptr) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  return tavlen::posix::CopyOut(tavlen::posix::UnixToWindowsPath(folder), buffer, size);
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
  tavlen::posix::MappedPath mapped;
  if (const DWORD error = tavlen::posix::MapWindowsPath(path, mapped); error != ERROR_SUCCESS) {
    SetLastError(error);
    return FALSE;
  }
  if (chdir(mapped.unixPath.c_str()) != 0) {
    SetLastError(errno == ENOTDIR ? ERROR_DIRECTORY : tavlen::posix::ErrorFromErrno(errno, mapped.unixPath));
    return FALSE;
  }
  return TRUE;
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
  std::string folder;
  for (const char* name : {"TMP", "TEMP", "USERPROFILE", "WINDIR"}) {
    if (tavlen::posix::LookUpVariable(name, folder) && !folder.empty()) break;
  }
  tavlen::posix::EnsureProfileFolders();
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
  if (length != 0 && length < sizeof full) folder = full;
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return tavlen::posix::CopyOut(folder, buffer, size);
}
