#include "platform/posix/path_map.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/posix/prefix.h"
#include "platform/posix/win_cp936.h"

namespace tavlen::posix {

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualNoCaseAscii(const std::string& a, const char* b) {
  const size_t length = std::strlen(b);
  if (a.size() != length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

// Splits at backslashes (slashes are already turned into backslashes),
// stepping over double-byte characters, and applies "." and "..".
void AppendComponents(const std::string& text, std::vector<std::string>& components, bool& trailing) {
  std::string current;
  trailing = false;
  auto flush = [&components, &current]() {
    if (current.empty() || current == ".") {
    } else if (current == "..") {
      if (!components.empty()) components.pop_back();
    } else {
      components.push_back(current);
    }
    current.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(c) && i + 1 < text.size()) {
      current += text[i];
      current += text[++i];
      continue;
    }
    if (c == '\\') {
      flush();
      trailing = true;
      continue;
    }
    current += static_cast<char>(c);
    trailing = false;
  }
  flush();
}

bool CurrentWindowsFolder(WindowsPath& folder) {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return false;
  const std::string windows = UnixToWindowsPath(buffer);
  folder.drive = windows[0];
  folder.components.clear();
  bool trailing = false;
  AppendComponents(windows.substr(2), folder.components, trailing);
  return true;
}

// Whether path (with a trailing slash or not) lies below root; rest gets what follows.
bool StartsWithFolder(const std::string& path, const std::string& root, std::string& rest) {
  if (root.empty() || path.compare(0, root.size(), root) != 0) return false;
  if (path.size() == root.size()) {
    rest.clear();
    return true;
  }
  if (path[root.size()] != '/') return false;
  rest = path.substr(root.size());
  return true;
}

std::string RealPathOf(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string result = real;
  std::free(real);
  return result;
}

// Finds the entry of folder whose name equals name without regard to ASCII
// case; empty when none or more than one does.
std::string FindNoCase(const std::string& folder, const std::string& name) {
  DIR* directory = opendir(folder.empty() ? "/" : folder.c_str());
  if (directory == nullptr) return {};
  std::string match;
  int matches = 0;
  while (const dirent* entry = readdir(directory)) {
    if (EqualNoCaseAscii(name, entry->d_name)) {
      match = entry->d_name;
      ++matches;
    }
  }
  closedir(directory);
  return matches == 1 ? match : std::string();
}

}  // namespace

std::string WindowsPath::Format(bool keepTrailing) const {
  std::string text;
  text += drive;
  text += ":\\";
  for (size_t i = 0; i < components.size(); ++i) {
    if (i > 0) text += '\\';
    text += components[i];
  }
  if (keepTrailing && trailingSeparator && !components.empty()) text += '\\';
  return text;
}

DWORD ParseWindowsPath(const char* path, WindowsPath& parsed) {
  if (path == nullptr || *path == '\0') return ERROR_PATH_NOT_FOUND;
  const size_t length = std::strlen(path);
  if (length >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  std::string text(path, length);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  parsed = WindowsPath();
  std::string rest;
  const bool hasDrive = text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]));
  if (hasDrive) {
    parsed.drive = UpperAscii(text[0]);
    rest = text.substr(2);
    if (rest.empty() || rest[0] != '\\') {
      // "X:name" is relative to the current folder when that is on drive X.
      WindowsPath current;
      if (CurrentWindowsFolder(current) && current.drive == parsed.drive) parsed.components = current.components;
    }
  } else if (text.compare(0, 2, "\\\\") == 0) {
    return ERROR_BAD_NETPATH;
  } else {
    WindowsPath current;
    if (!CurrentWindowsFolder(current)) return ERROR_PATH_NOT_FOUND;
    parsed.drive = current.drive;
    if (text[0] != '\\') parsed.components = current.components;
    rest = text;
  }
  AppendComponents(rest, parsed.components, parsed.trailingSeparator);
  if (parsed.Format(true).size() >= MAX_PATH) return ERROR_PATH_NOT_FOUND;
  return ERROR_SUCCESS;
}

bool HasInvalidNameCharacters(const std::string& name, bool allowWildcards) {
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (IsLeadByte(c) && i + 1 < name.size()) {
      ++i;
      continue;
    }
    if (c < 0x20 || std::strchr("<>:\"|", c) != nullptr) return true;
    if (!allowWildcards && (c == '*' || c == '?')) return true;
  }
  return false;
}

std::string DriveFolder(char letter) {
  letter = UpperAscii(letter);
  if (letter == 'Z') return "";
  std::string folder = PrefixFolder() + "/drive_";
  folder += static_cast<char>(letter - 'A' + 'a');
  return folder;
}

DWORD MapParsedPath(const WindowsPath& parsed, std::string& unixPath) {
  std::string current = DriveFolder(parsed.drive);
  struct stat info {};
  if (!current.empty() && stat(current.c_str(), &info) != 0) return ERROR_PATH_NOT_FOUND;
  bool resolving = true;
  for (const std::string& component : parsed.components) {
    if (HasInvalidNameCharacters(component, false)) return ERROR_INVALID_NAME;
    std::string name;
    if (!AnsiToUtf8Strict(component, name)) return ERROR_INVALID_NAME;
    std::string candidate = current + "/" + name;
    if (resolving && lstat(candidate.c_str(), &info) != 0) {
      if (errno == ENOENT) {
        const std::string match = FindNoCase(current, name);
        if (!match.empty()) {
          candidate = current + "/" + match;
        } else {
          resolving = false;
        }
      } else {
        resolving = false;
      }
    }
    current = candidate;
  }
  unixPath = current.empty() ? "/" : current;
  return ERROR_SUCCESS;
}

DWORD MapWindowsPath(const char* path, MappedPath& mapped) {
  const DWORD error = ParseWindowsPath(path, mapped.windows);
  if (error != ERROR_SUCCESS) return error;
  return MapParsedPath(mapped.windows, mapped.unixPath);
}

std::string UnixToWindowsPath(const std::string& unixPath) {
  std::string path = unixPath;
  if (path.empty() || path[0] != '/') {
    char buffer[PATH_MAX];
    const std::string folder = getcwd(buffer, sizeof buffer) != nullptr ? buffer : "/";
    path = folder + "/" + path;
  }
  char drive = 'Z';
  std::string rest = path;
  const std::string prefix = PrefixFolder();
  for (const std::string& root : {prefix, RealPathOf(prefix)}) {
    std::string below;
    if (!StartsWithFolder(path, root, below) || below.compare(0, 7, "/drive_") != 0 || below.size() < 8) continue;
    const char letter = below[7];
    if (letter < 'a' || letter > 'z' || (below.size() > 8 && below[8] != '/')) continue;
    drive = UpperAscii(letter);
    rest = below.substr(8);
    break;
  }
  WindowsPath windows;
  windows.drive = drive;
  std::string name;
  for (size_t i = 0; i <= rest.size(); ++i) {
    if (i == rest.size() || rest[i] == '/') {
      if (name == "..") {
        if (!windows.components.empty()) windows.components.pop_back();
      } else if (!name.empty() && name != ".") {
        windows.components.push_back(Utf8ToAnsi(name));
      }
      name.clear();
    } else {
      name += rest[i];
    }
  }
  return windows.Format();
}

DWORD ErrorFromErrno(int error, const std::string& unixPath) {
  switch (error) {
    case ENOENT: {
      const auto slash = unixPath.find_last_of('/');
      const std::string parent = slash == std::string::npos ? "." : (slash == 0 ? "/" : unixPath.substr(0, slash));
      struct stat info {};
      const bool parentIsFolder = stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
      return parentIsFolder ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case EBUSY:
    case ETXTBSY:
      return ERROR_SHARING_VIOLATION;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_GEN_FAILURE;
  }
}

}  // namespace tavlen::posix
