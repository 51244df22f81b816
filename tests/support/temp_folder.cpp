#include "tests/support/temp_folder.h"

#include <atomic>
#include <cstdio>

#include "platform/win32.h"

namespace tavlen::test {

namespace {
std::atomic<unsigned> g_counter{0};
}

TempFolder::TempFolder() {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  std::string root = base;
  if (!root.empty() && root.back() == '\\') root.pop_back();
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    char name[64];
    std::snprintf(name, sizeof name, "\\tavlen-t%lu-%u", static_cast<unsigned long>(GetTickCount()), g_counter++);
    std::string candidate = root + name;
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      m_path = candidate;
      return;
    }
    if (GetLastError() == ERROR_PATH_NOT_FOUND) CreateDirectoryA(root.c_str(), nullptr);
  }
}

TempFolder::~TempFolder() {
  if (!m_path.empty()) RemoveTree(m_path);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = bytes.empty() ||
                  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char chunk[65536];
  DWORD got = 0;
  bool ok = true;
  while (true) {
    if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    bytes.append(chunk, got);
  }
  CloseHandle(file);
  return ok;
}

std::string FileContents(const std::string& path) {
  std::string bytes;
  return ReadFileBytes(path, bytes) ? bytes : "<missing>";
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(path.c_str());
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace tavlen::test

namespace tavlen::test {

bool RunningUnderWine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

}  // namespace tavlen::test

#ifndef _WIN32
#include "platform/posix/path_map.h"

namespace tavlen::test {

std::string UnixPathOf(const std::string& windowsPath) {
  tavlen::posix::MappedPath mapped;
  return tavlen::posix::MapWindowsPath(windowsPath.c_str(), mapped) == 0 ? mapped.unixPath : std::string();
}

}  // namespace tavlen::test
#endif
