// Linux: finding the program of a command line; its Windows path is mapped
// into the prefix by the files layer (path_map.h).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/posix/path_map.h"
#include "platform/posix/prefix.h"
#include "platform/posix/process_command_line.h"
#include "platform/posix/win_base.h"

namespace tavlen::posix {

namespace {

std::string CurrentFolder() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string("/");
}

// The Unix path of a Windows path, or the error of mapping it.
DWORD MapToUnix(const std::string& windowsPath, std::string& unixPath) {
  MappedPath mapped;
  const DWORD error = MapWindowsPath(windowsPath.c_str(), mapped);
  if (error == 0) unixPath = mapped.unixPath;
  return error;
}

}  // namespace

namespace {

bool HasExtension(const std::string& name) {
  const auto slash = name.find_last_of("\\/:");
  const auto dot = name.find_last_of('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

// 0 when the file can be started; else why not.
unsigned long CheckProgram(const std::string& linuxPath) {
  struct stat info{};
  if (stat(linuxPath.c_str(), &info) != 0) {
    const auto cut = linuxPath.find_last_of('/');
    const std::string folder = cut == 0 ? "/" : linuxPath.substr(0, cut);
    struct stat folderInfo{};
    return stat(folder.c_str(), &folderInfo) == 0 && S_ISDIR(folderInfo.st_mode) ? ERROR_FILE_NOT_FOUND
                                                                                 : ERROR_PATH_NOT_FOUND;
  }
  if (S_ISDIR(info.st_mode)) return ERROR_ACCESS_DENIED;
  if (!S_ISREG(info.st_mode) || access(linuxPath.c_str(), X_OK) != 0) return 193;  // not a program
  return 0;
}

// The bare name first, then with ".exe" when it has no extension.
unsigned long TryName(const std::string& windowsPath, std::string& linuxPath) {
  std::string mapped;
  if (const DWORD mapError = MapToUnix(windowsPath, mapped); mapError != 0) return mapError;
  unsigned long error = CheckProgram(mapped);
  if (error == 0) {
    linuxPath = mapped;
    return 0;
  }
  if (error != ERROR_FILE_NOT_FOUND || HasExtension(windowsPath)) return error;
  std::string withExe;
  if (const DWORD mapError = MapToUnix(windowsPath + ".exe", withExe); mapError != 0) return mapError;
  const unsigned long exeError = CheckProgram(withExe);
  if (exeError == 0) linuxPath = withExe;
  return exeError;
}

std::string ModuleFolder() {
  char buffer[4096];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  std::string path(buffer, static_cast<size_t>(length));
  return path.substr(0, path.find_last_of('/'));
}

}  // namespace

unsigned long FindProgram(const std::string& name, std::string& linuxPath) {
  if (name.empty()) return ERROR_INVALID_NAME;
  if (name.find_first_of("\\/:") != std::string::npos) return TryName(name, linuxPath);
  // A bare name: the agent's folder, the current folder, the system folder,
  // the Windows folder, then PATH (Linux folders, reached through Z:).
  std::vector<std::string> folders = {ModuleFolder(), CurrentFolder(), PrefixFolder() + "/drive_c/windows/system32",
                                      PrefixFolder() + "/drive_c/windows"};
  if (const char* path = std::getenv("PATH")) {
    std::string list = path;
    std::string::size_type i = 0;
    while (i <= list.size()) {
      auto end = list.find(':', i);
      if (end == std::string::npos) end = list.size();
      if (end > i) folders.push_back(list.substr(i, end - i));
      i = end + 1;
    }
  }
  for (const std::string& folder : folders) {
    if (folder.empty() || folder[0] != '/') continue;
    const unsigned long error = TryName("Z:" + folder + "\\" + name, linuxPath);
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return error;
  }
  return ERROR_FILE_NOT_FOUND;
}

}  // namespace tavlen::posix
