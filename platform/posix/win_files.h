// Linux: files, folders, find-first enumeration, file times and paths.
//
// Paths are Windows paths (drive letters, backslashes or slashes) in code
// page 936. They are mapped through the prefix (see path_map.h): C: is
// $TAVLEN_PREFIX/drive_c, Z: is the root of the Unix file system, and a
// component that does not exist exactly is found without regard to ASCII
// case when exactly one entry matches. Names are stored on disk in UTF-8.
// A path of MAX_PATH bytes or more is refused (206, or 3 for a relative path
// whose full form is too long).
//
// Attributes: FILE_ATTRIBUTE_DIRECTORY for folders, FILE_ATTRIBUTE_ARCHIVE for
// files (as Windows reports a written file), FILE_ATTRIBUTE_READONLY when the
// entry has no write permission bit. The layer enforces read-only itself,
// also for root: such a file cannot be opened for writing, deleted or
// replaced (ERROR_ACCESS_DENIED).
//
// Sharing: an open handle keeps the share rules of Windows across threads
// and processes (open file description locks): an open that conflicts with
// the access or share mode of an open handle fails with
// ERROR_SHARING_VIOLATION, and so do DeleteFileA, MoveFileExA and CrtRemove
// of a file that is open without FILE_SHARE_DELETE.
//
// Error codes: 2 file not found, 3 path not found, 5 access denied,
// 18 no more files, 32 sharing violation, 80 file exists (CREATE_NEW,
// CopyFileA fail-if-exists), 123 invalid name, 145 folder not empty,
// 183 already exists, 206 name too long, 267 not a folder.
#pragma once

#include "platform/posix/win_base.h"

typedef struct _FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;

typedef struct _SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
} SYSTEMTIME, *PSYSTEMTIME, *LPSYSTEMTIME;

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *PWIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// Accepted for compatibility and ignored: the prefix has no ACLs.
typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u

#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_RANDOM_ACCESS 0x10000000u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000u

#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)

#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_COPY_ALLOWED 0x00000002u
#define MOVEFILE_DELAY_UNTIL_REBOOT 0x00000004u
#define MOVEFILE_WRITE_THROUGH 0x00000008u

#ifndef ERROR_NEGATIVE_SEEK
#define ERROR_NEGATIVE_SEEK 131L
#endif

// Opens or creates a file; folders cannot be opened (5). Read-only files
// refuse write access (5); CREATE_ALWAYS and OPEN_ALWAYS on an existing file
// succeed with GetLastError() == 183. CREATE_NEW on an existing file: 80.
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
// Reads up to count bytes; TRUE with 0 bytes read at the end of the file.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD bytesRead, LPVOID overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD bytesWritten, LPVOID overlapped);
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);

BOOL DeleteFileA(LPCSTR path);
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryA(LPCSTR path);
DWORD GetFileAttributesA(LPCSTR path);
// Only FILE_ATTRIBUTE_READONLY has an effect; the others are accepted.
BOOL SetFileAttributesA(LPCSTR path, DWORD attributes);

// "*" and "?" in the last component, matched without regard to case; "*.*"
// matches every name. A folder other than a drive root lists "." and ".."
// first. The entries are read when the search starts, sorted by name.
HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
BOOL FindClose(HANDLE find);

// Never replaces an existing target without MOVEFILE_REPLACE_EXISTING (183);
// with MOVEFILE_COPY_ALLOWED a file moves to another file system by copy and
// delete, otherwise that move fails with 17.
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
BOOL MoveFileA(LPCSTR from, LPCSTR to);
// Copies data, read-only attribute and last-write time. An existing target
// is refused with 80 when failIfExists is set.
BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists);

// Buffer rules as Windows: the length without the zero when it fits, else
// the size needed including the zero (and the buffer is left alone).
DWORD GetFullPathNameA(LPCSTR path, DWORD size, LPSTR buffer, LPSTR* filePart);
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR path);
// TMP, TEMP, USERPROFILE or the Windows folder, with a trailing backslash.
DWORD GetTempPathA(DWORD size, LPSTR buffer);

// The creation time is kept in an extended attribute where the file system
// has them, else reported as the last-write time.
BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite);
BOOL SetFileTime(HANDLE file, const FILETIME* creation, const FILETIME* lastAccess, const FILETIME* lastWrite);
BOOL DosDateTimeToFileTime(WORD dosDate, WORD dosTime, LPFILETIME fileTime);
BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* dosDate, WORD* dosTime);
// Local time uses the current offset from UTC, as Windows does.
BOOL LocalFileTimeToFileTime(const FILETIME* localTime, LPFILETIME fileTime);
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localTime);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime);
LONG CompareFileTime(const FILETIME* a, const FILETIME* b);
void GetLocalTime(LPSYSTEMTIME systemTime);
void GetSystemTime(LPSYSTEMTIME systemTime);
void GetSystemTimeAsFileTime(LPFILETIME fileTime);
