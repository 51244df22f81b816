// A small program that the process tests start. It records how it was
// started in a marker file and ends with a chosen exit code:
//   child MARKER [--wait-for=FILE] [--sleep=MS] [--exit=CODE] [more args]
// Without arguments it creates "tavlen_child.ran" in the current folder.
// The marker holds "show=FLAGS,SHOWCOMMAND" and then one line per argument.
// It is written under another name and renamed, so it appears complete.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32.h"

namespace {

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

void WaitForFile(const char* path) {
  // A bounded wait, so a failing test never leaves this program behind.
  for (int i = 0; i < 6000 && GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(10);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    // Started without arguments (as "open" does): leave a sign in the current folder.
    HANDLE ran = CreateFileA("tavlen_child.ran", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ran == INVALID_HANDLE_VALUE) return 2;
    CloseHandle(ran);
    return 0;
  }
  int exitCode = 0;
  for (int i = 2; i < argc; ++i) {
    if (StartsWith(argv[i], "--wait-for=")) WaitForFile(argv[i] + 11);
    if (StartsWith(argv[i], "--sleep=")) Sleep(static_cast<DWORD>(std::atoi(argv[i] + 8)));
    if (StartsWith(argv[i], "--exit=")) exitCode = std::atoi(argv[i] + 7);
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  std::string text = "show=" + std::to_string(startup.dwFlags & STARTF_USESHOWWINDOW) + "," +
                     std::to_string(startup.wShowWindow) + "\n";
  for (int i = 1; i < argc; ++i) text += std::string(argv[i]) + "\n";

  const std::string partial = std::string(argv[1]) + ".part";
  HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  if (!MoveFileExA(partial.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING)) return 4;
  return exitCode;
}
