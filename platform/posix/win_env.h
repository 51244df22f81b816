// Linux: the process environment as Windows shows it, the module path and
// the Windows and system folders.
//
// Variable names are compared without regard to case. The view adds, when
// the Unix environment does not set them, the variables every Windows
// process has: WINDIR and SystemRoot (C:\windows), SystemDrive and HOMEDRIVE
// (C:), USERPROFILE (C:\users\<user>), HOMEPATH, APPDATA, LOCALAPPDATA, TEMP
// and TMP, ProgramFiles, CommonProgramFiles, ALLUSERSPROFILE, PUBLIC,
// USERNAME and COMPUTERNAME. A set TEMP or TMP that holds a Unix path is
// shown as its Windows form (Z:\...).
#pragma once

#include "platform/posix/win_base.h"

#ifndef ERROR_MOD_NOT_FOUND
#define ERROR_MOD_NOT_FOUND 126L
#endif
#ifndef ERROR_ENVVAR_NOT_FOUND
#define ERROR_ENVVAR_NOT_FOUND 203L
#endif

// Only the executable itself (module NULL). The path is /proc/self/exe in
// Windows form. A buffer too small gets the path cut to size - 1 bytes and a
// zero; the result is then size, with ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
// C:\windows and C:\windows\system32, created in the prefix on first use.
// The length without the zero, or the size needed with it when too small.
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);

// The length without the zero, or the size needed with it when too small;
// 0 with ERROR_ENVVAR_NOT_FOUND for an unknown name.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
// A NULL value removes the variable.
BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value);
// Replaces each %NAME% of a known variable; unknown names stay as written.
// Returns the size of the result including the zero; the result is written
// only when it fits (never past size bytes).
DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR destination, DWORD size);
