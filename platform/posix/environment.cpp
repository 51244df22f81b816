// The environment as Windows shows it, and ExpandEnvironmentStringsA.
#include "platform/posix/environment.h"

#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <set>

#include "platform/posix/path_map.h"
#include "platform/posix/prefix.h"
#include "platform/posix/string_out.h"
#include "platform/posix/win_cp936.h"
#include "platform/posix/win_env.h"

extern char** environ;

namespace tavlen::posix {

namespace {

std::mutex g_mutex;
// Default names that SetEnvironmentVariableA removed (upper case).
std::set<std::string> g_removed;

std::string Upper(const std::string& text) {
  std::string result = text;
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

std::string ComputerName() {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') return "LOCALHOST";
  std::string name = Upper(host);
  if (const auto dot = name.find('.'); dot != std::string::npos) name.resize(dot);
  // NetBIOS names have at most 15 characters.
  if (name.size() > 15) name.resize(15);
  return name;
}

std::vector<std::pair<std::string, std::string>> Defaults() {
  const std::string user = UserName();
  const std::string profile = "C:\\users\\" + user;
  return {
      {"ALLUSERSPROFILE", "C:\\ProgramData"},
      {"APPDATA", profile + "\\AppData\\Roaming"},
      {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
      {"COMPUTERNAME", ComputerName()},
      {"HOMEDRIVE", "C:"},
      {"HOMEPATH", "\\users\\" + user},
      {"LOCALAPPDATA", profile + "\\AppData\\Local"},
      {"ProgramFiles", "C:\\Program Files"},
      {"PUBLIC", "C:\\users\\Public"},
      {"SystemDrive", "C:"},
      {"SystemRoot", "C:\\windows"},
      {"TEMP", profile + "\\AppData\\Local\\Temp"},
      {"TMP", profile + "\\AppData\\Local\\Temp"},
      {"USERNAME", user},
      {"USERPROFILE", profile},
      {"WINDIR", "C:\\windows"},
  };
}

// A Unix value in the Windows view: UTF-8 becomes code page 936 when it
// can, and TEMP or TMP holding a Unix path is shown in Windows form.
std::string WindowsValue(const std::string& name, const std::string& unixValue) {
  std::string value;
  if (!Utf8ToAnsiStrict(unixValue, value)) value = unixValue;
  const std::string upper = Upper(name);
  if ((upper == "TEMP" || upper == "TMP") && !value.empty() && value[0] == '/') value = UnixToWindowsPath(unixValue);
  return value;
}

// Must be called with g_mutex held.
bool LookUpLocked(const std::string& name, std::string& value) {
  if (name.empty() || name.find('=') != std::string::npos) return false;
  if (const char* exact = getenv(name.c_str()); exact != nullptr) {
    value = WindowsValue(name, exact);
    return true;
  }
  const std::string upper = Upper(name);
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr) continue;
    const std::string entryName(*entry, static_cast<size_t>(equals - *entry));
    if (Upper(entryName) == upper) {
      value = WindowsValue(entryName, equals + 1);
      return true;
    }
  }
  if (g_removed.count(upper) != 0) return false;
  for (const auto& [defaultName, defaultValue] : Defaults()) {
    if (Upper(defaultName) == upper) {
      value = defaultValue;
      return true;
    }
  }
  return false;
}

void MakeFolder(const std::string& windowsPath) {
  std::string unixPath;
  WindowsPath parsed;
  if (ParseWindowsPath(windowsPath.c_str(), parsed) != ERROR_SUCCESS) return;
  std::string folder = DriveFolder(parsed.drive);
  for (const std::string& component : parsed.components) {
    folder += "/" + AnsiToUtf8(component);
    mkdir(folder.c_str(), 0755);
  }
}

}  // namespace

std::string UserName() {
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name != nullptr && *entry->pw_name) {
    return Utf8ToAnsi(entry->pw_name);
  }
  if (const char* user = getenv("USER"); user != nullptr && *user != '\0') return Utf8ToAnsi(user);
  return "user";
}

bool LookUpVariable(const std::string& name, std::string& value) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return LookUpLocked(name, value);
}

std::vector<std::pair<std::string, std::string>> WindowsEnvironment() {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::vector<std::pair<std::string, std::string>> variables;
  std::set<std::string> seen;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr || equals == *entry) continue;
    const std::string name(*entry, static_cast<size_t>(equals - *entry));
    if (!seen.insert(Upper(name)).second) continue;
    variables.emplace_back(name, WindowsValue(name, equals + 1));
  }
  for (const auto& [name, value] : Defaults()) {
    if (g_removed.count(Upper(name)) == 0 && seen.insert(Upper(name)).second) variables.emplace_back(name, value);
  }
  return variables;
}

void EnsureProfileFolders() {
  static std::once_flag once;
  std::call_once(once, []() {
    PrefixFolder();
    const std::string profile = "C:\\users\\" + UserName();
    for (const std::string& folder :
         {std::string("C:\\windows\\system32"), profile + "\\AppData\\Local\\Temp", profile + "\\AppData\\Roaming",
          std::string("C:\\Program Files\\Common Files"), std::string("C:\\ProgramData"),
          std::string("C:\\users\\Public")}) {
      MakeFolder(folder);
    }
  });
}

}  // namespace tavlen::posix

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  std::string value;
  if (name == nullptr || !tavlen::posix::LookUpVariable(name, value)) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  // Windows reports an empty value as 0 with no error.
  if (value.empty()) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
    SetLastError(ERROR_SUCCESS);
    return 0;
  }
  return tavlen::posix::CopyOut(value, buffer, size);
}

BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value) {
  if (name == nullptr || *name == '\0' || std::strchr(name, '=') != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(tavlen::posix::g_mutex);
  const std::string upper = tavlen::posix::Upper(name);
  // Remove every spelling of the name: Windows has one variable per name.
  std::vector<std::string> spellings;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals != nullptr && tavlen::posix::Upper(std::string(*entry, static_cast<size_t>(equals - *entry))) == upper) {
      spellings.emplace_back(*entry, static_cast<size_t>(equals - *entry));
    }
  }
  for (const std::string& spelling : spellings) unsetenv(spelling.c_str());
  if (value == nullptr) {
    tavlen::posix::g_removed.insert(upper);
    return TRUE;
  }
  tavlen::posix::g_removed.erase(upper);
  if (setenv(name, tavlen::posix::AnsiToUtf8(value).c_str(), 1) != 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  return TRUE;
}

DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR destination, DWORD size) {
  if (source == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string result;
  const std::string text = source;
  size_t position = 0;
  while (position < text.size()) {
    const size_t percent = text.find('%', position);
    if (percent == std::string::npos) {
      result.append(text, position, std::string::npos);
      break;
    }
    result.append(text, position, percent - position);
    const size_t close = text.find('%', percent + 1);
    if (close == std::string::npos) {
      // An unfinished name is copied as written.
      result.append(text, percent, std::string::npos);
      break;
    }
    std::string value;
    if (close > percent + 1 && tavlen::posix::LookUpVariable(text.substr(percent + 1, close - percent - 1), value)) {
      result += value;
    } else {
      // An unknown name stays as written, both percent signs included.
      result.append(text, percent, close - percent + 1);
    }
    position = close + 1;
  }
  if (destination != nullptr && result.size() < size) std::memcpy(destination, result.c_str(), result.size() + 1);
  return static_cast<DWORD>(result.size() + 1);
}

namespace {

void CreateWindowsFolders() { tavlen::posix::EnsureProfileFolders(); }

}  // namespace

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  CreateWindowsFolders();
  return tavlen::posix::CopyOut("C:\\windows", buffer, size);
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  CreateWindowsFolders();
  return tavlen::posix::CopyOut("C:\\windows\\system32", buffer, size);
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  if (module != nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  char target[4096];
  const ssize_t length = readlink("/proc/self/exe", target, sizeof target - 1);
  if (length <= 0) {
    SetLastError(ERROR_GEN_FAILURE);
    return 0;
  }
  target[length] = '\0';
  const std::string path = tavlen::posix::UnixToWindowsPath(target);
  if (path.size() < size) {
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
  }
  // Cut to size - 1 bytes at a character boundary, with a zero, as Windows does.
  if (size > 0) {
    size_t cut = 0;
    while (cut < path.size()) {
      const size_t step = IsDBCSLeadByte(static_cast<BYTE>(path[cut])) && cut + 1 < path.size() ? 2 : 1;
      if (cut + step > size - 1) break;
      cut += step;
    }
    std::memcpy(buffer, path.data(), cut);
    buffer[cut] = '\0';
  }
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}
