// Linux: the shell's file operation, for deleting files.
#include <cstring>

#include "platform/posix/win_shell.h"

int SHFileOperationA(LPSHFILEOPSTRUCTA operation) {
  if (operation == nullptr || operation->pFrom == nullptr) return ERROR_INVALID_PARAMETER;
  operation->fAnyOperationsAborted = FALSE;
  if (operation->wFunc != FO_DELETE) return ERROR_INVALID_FUNCTION;
  // The list ends with an empty name; the prefix has no recycle bin, so
  // FOF_ALLOWUNDO deletes for good as well, and nobody is asked.
  for (const char* name = operation->pFrom; *name != '\0'; name += std::strlen(name) + 1) {
    if (!DeleteFileA(name)) return static_cast<int>(GetLastError());
  }
  return 0;
}
