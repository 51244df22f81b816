// Linux: processes, threads and events with the Win32 calls the agent uses.
//
// Every waitable handle (event, process, thread) is backed by a file
// descriptor that becomes readable when the object is signalled: an eventfd
// for events and threads, a pidfd for processes. WaitForSingleObject and
// WaitForMultipleObjects sleep in poll() on those descriptors, never in a
// polling loop.
//
// CreateProcessA follows the Windows rules without an application name: the
// program is the first token of the command line (up to the closing quote
// when it starts with one; otherwise each longer blank-separated prefix is
// tried in turn), ".exe" is appended when the name has no extension and the
// bare name is not found, and a name without a folder is searched in the
// agent's folder, the current folder, the system folder, the Windows folder
// and PATH. The Windows path of the program is mapped through the prefix; the
// command line is split into argv by the Windows (MSVC runtime) rules.
// Errors: 2 (program not found), 3 (folder not found), 5 (a folder),
// 193 (not a program), 87 (no command line), 123 (empty program name).
#pragma once

#include "platform/posix/win_base.h"

struct _SECURITY_ATTRIBUTES;

typedef struct _STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

typedef DWORD (*LPTHREAD_START_ROUTINE)(LPVOID parameter);

#define NORMAL_PRIORITY_CLASS 0x00000020u
#define CREATE_NO_WINDOW 0x08000000u
#define STARTF_USESHOWWINDOW 0x00000001u
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5
#define STILL_ACTIVE 259u
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED_0 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64
#define ERROR_BAD_EXE_FORMAT 193L

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, struct _SECURITY_ATTRIBUTES* processAttributes,
                    struct _SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                    LPPROCESS_INFORMATION processInformation);
// The child sees the show command of its creator's STARTUPINFOA here.
void GetStartupInfoA(LPSTARTUPINFOA startupInfo);
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
BOOL TerminateProcess(HANDLE process, UINT exitCode);

HANDLE CreateEventA(struct _SECURITY_ATTRIBUTES* attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// The thread runs at once (creation flags other than 0 are refused with 87).
HANDLE CreateThread(struct _SECURITY_ATTRIBUTES* attributes, size_t stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
