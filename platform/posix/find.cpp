// FindFirstFileA / FindNextFileA / FindClose over a snapshot of the folder.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/posix/file_object.h"
#include "platform/posix/file_time_convert.h"
#include "platform/posix/win_cp936.h"

namespace {

struct FindObject : tavlen::posix::KernelObject {
  std::vector<WIN32_FIND_DATAA> entries;
  size_t next = 0;
};

// The characters of a code page 936 text, ASCII letters folded to upper case.
std::vector<unsigned> FoldedCharacters(const std::string& text) {
  std::vector<unsigned> characters;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsDBCSLeadByte(c) && i + 1 < text.size()) {
      characters.push_back((static_cast<unsigned>(c) << 8) | static_cast<unsigned char>(text[++i]));
    } else {
      characters.push_back((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
    }
  }
  return characters;
}

// '*' matches any run of characters, '?' exactly one; case is ignored.
bool Glob(const std::vector<unsigned>& pattern, const std::vector<unsigned>& name) {
  size_t p = 0;
  size_t n = 0;
  size_t starAt = std::string::npos;
  size_t resumeAt = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      resumeAt = n;
    } else if (starAt != std::string::npos) {
      p = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// Windows' rules on top of the glob: "*.*" matches every name, and a
// pattern ending in ".*" also matches the name without an extension.
bool MatchesPattern(const std::string& pattern, const std::string& name) {
  if (pattern == "*" || pattern == "*.*") return true;
  const auto folded = FoldedCharacters(name);
  if (Glob(FoldedCharacters(pattern), folded)) return true;
  if (pattern.size() > 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0) {
    return Glob(FoldedCharacters(pattern.substr(0, pattern.size() - 2)), folded);
  }
  return false;
}

bool HasWildcards(const std::string& pattern) { return pattern.find_first_of("*?") != std::string::npos; }

bool FillEntry(const std::string& unixPath, const std::string& name, WIN32_FIND_DATAA& data) {
  if (name.size() >= MAX_PATH) return false;
  struct stat info {};
  if (stat(unixPath.c_str(), &info) != 0 && lstat(unixPath.c_str(), &info) != 0) return false;
  std::memset(&data, 0, sizeof data);
  data.dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (tavlen::posix::IsReadOnlyMode(info.st_mode)) data.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  data.ftLastWriteTime = tavlen::posix::FileTimeFromUnix(info.st_mtim);
  data.ftLastAccessTime = tavlen::posix::FileTimeFromUnix(info.st_atim);
  data.ftCreationTime = tavlen::posix::CreationTimeOf(-1, unixPath, info);
  if (!S_ISDIR(info.st_mode)) {
    const auto size = static_cast<uint64_t>(info.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  }
  std::memcpy(data.cFileName, name.c_str(), name.size() + 1);
  return true;
}

// "." and ".." first, then by name without regard to case.
bool ComesBefore(const WIN32_FIND_DATAA& a, const WIN32_FIND_DATAA& b) {
  auto rank = [](const char* name) { return std::strcmp(name, ".") == 0 ? 0 : std::strcmp(name, "..") == 0 ? 1 : 2; };
  if (rank(a.cFileName) != rank(b.cFileName)) return rank(a.cFileName) < rank(b.cFileName);
  return FoldedCharacters(a.cFileName) < FoldedCharacters(b.cFileName);
}

HANDLE FailFind(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
  tavlen::posix::WindowsPath parsed;
  if (const DWORD error = tavlen::posix::ParseWindowsPath(pattern, parsed); error != ERROR_SUCCESS) {
    return FailFind(error);
  }
  // "dir\" and a drive root name no entry.
  if (parsed.trailingSeparator || parsed.components.empty()) return FailFind(ERROR_FILE_NOT_FOUND);
  const std::string namePattern = parsed.components.back();
  if (tavlen::posix::HasInvalidNameCharacters(namePattern, true)) return FailFind(ERROR_INVALID_NAME);
  parsed.components.pop_back();
  const bool driveRoot = parsed.components.empty();
  std::string folder;
  if (const DWORD error = tavlen::posix::MapParsedPath(parsed, folder); error != ERROR_SUCCESS) return FailFind(error);

  DIR* directory = opendir(folder.c_str());
  if (directory == nullptr) {
    return FailFind(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
  }
  const std::string base = folder == "/" ? "" : folder;
  auto* find = new FindObject;
  WIN32_FIND_DATAA entry;
  const bool wildcards = HasWildcards(namePattern);
  while (const dirent* item = readdir(directory)) {
    const std::string unixName = item->d_name;
    const bool dotEntry = unixName == "." || unixName == "..";
    if (dotEntry && driveRoot) continue;
    const std::string name = dotEntry ? unixName : tavlen::posix::Utf8ToAnsi(unixName);
    const bool matches = wildcards ? MatchesPattern(namePattern, name)
                                   : _mbsicmp(reinterpret_cast<const unsigned char*>(name.c_str()),
                                              reinterpret_cast<const unsigned char*>(namePattern.c_str())) == 0;
    if (matches && FillEntry(base + "/" + unixName, name, entry)) find->entries.push_back(entry);
  }
  closedir(directory);
  if (find->entries.empty()) {
    delete find;
    return FailFind(ERROR_FILE_NOT_FOUND);
  }
  std::sort(find->entries.begin(), find->entries.end(), ComesBefore);
  if (!wildcards) {
    // An exact name beats a match that differs only in case.
    WIN32_FIND_DATAA chosen = find->entries[0];
    for (const WIN32_FIND_DATAA& candidate : find->entries) {
      if (namePattern == candidate.cFileName) {
        chosen = candidate;
        break;
      }
    }
    find->entries.assign(1, chosen);
  }
  *data = find->entries[0];
  find->next = 1;
  SetLastError(ERROR_SUCCESS);
  return tavlen::posix::ToHandle(find);
}

BOOL FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA data) {
  auto* find = tavlen::posix::FromHandle<FindObject>(handle);
  if (find == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (find->next >= find->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *data = find->entries[find->next++];
  return TRUE;
}

BOOL FindClose(HANDLE handle) {
  auto* find = tavlen::posix::FromHandle<FindObject>(handle);
  if (find == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete find;
  return TRUE;
}
