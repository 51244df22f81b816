// Linux: the registry calls of the Win32 API, over the SQLite database
// $TAVLEN_PREFIX/registry.db.
//
// Behaviour the agent relies on (the same as Windows):
// - Key names are compared without regard to ASCII case (double-byte
//   characters of code page 936 are compared as they are); a key keeps the
//   spelling it was created with. Empty path components are skipped, a path
//   that starts with a backslash is refused with ERROR_BAD_PATHNAME.
// - Values keep their type and bytes exactly; the empty name (or null) is the
//   key's default value. Keys and values enumerate in name order.
// - Every call returns a Win32 error code: ERROR_FILE_NOT_FOUND for a missing
//   key or value, ERROR_NO_MORE_ITEMS at the end of an enumeration,
//   ERROR_MORE_DATA for a buffer that is too small (with the size needed),
//   ERROR_INVALID_PARAMETER for missing arguments, ERROR_INVALID_HANDLE for a
//   handle that is not open, ERROR_KEY_DELETED for a handle whose key was
//   deleted, ERROR_ACCESS_DENIED for a handle opened without the access the
//   call needs and for deleting a key that has sub keys.
// - Every write is one SQLite transaction: durable once the call returns and
//   safe with several processes writing at once.
// - A registry.db that is not a readable registry database is never replaced:
//   the calls return ERROR_BADDB (or ERROR_CANTOPEN when the file cannot be
//   opened) and the first failure prints the file's name to stderr.
#pragma once

#include "platform/posix/win_base.h"

struct _FILETIME;
struct _SECURITY_ATTRIBUTES;

typedef DWORD REGSAM;
typedef LONG LSTATUS;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))
#define HKEY_CURRENT_CONFIG ((HKEY)(ULONG_PTR)((LONG)0x80000005))

#ifndef DELETE
#define DELETE 0x00010000L
#endif
#ifndef READ_CONTROL
#define READ_CONTROL 0x00020000L
#endif
#ifndef SYNCHRONIZE
#define SYNCHRONIZE 0x00100000L
#endif
#ifndef STANDARD_RIGHTS_READ
#define STANDARD_RIGHTS_READ READ_CONTROL
#define STANDARD_RIGHTS_WRITE READ_CONTROL
#define STANDARD_RIGHTS_ALL 0x001F0000L
#define STANDARD_RIGHTS_REQUIRED 0x000F0000L
#endif
#ifndef MAXIMUM_ALLOWED
#define MAXIMUM_ALLOWED 0x02000000L
#endif
#ifndef GENERIC_READ
#define GENERIC_READ 0x80000000L
#define GENERIC_WRITE 0x40000000L
#define GENERIC_EXECUTE 0x20000000L
#define GENERIC_ALL 0x10000000L
#endif

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_EXECUTE 0x20019
#define KEY_ALL_ACCESS 0xF003F

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7
#define REG_QWORD 11
#define REG_QWORD_LITTLE_ENDIAN 11

#define REG_OPTION_RESERVED 0x00000000L
#define REG_OPTION_NON_VOLATILE 0x00000000L
#define REG_OPTION_VOLATILE 0x00000001L

#define REG_CREATED_NEW_KEY 0x00000001L
#define REG_OPENED_EXISTING_KEY 0x00000002L

#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif

// Opens an existing key below hKey (null or "" opens hKey itself again).
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
// Opens the key, creating it and every missing key on its path. Volatile keys
// are kept like the others. lpdwDisposition (may be null) tells which.
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, struct _SECURITY_ATTRIBUTES* lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);
// Stores cbData bytes of any type under the name; needs KEY_SET_VALUE.
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData);
// With lpData null only the type and size are returned; a buffer that is too
// small gives ERROR_MORE_DATA with the size needed in *lpcbData.
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);
// The index-th sub key name; *lpcchName is the buffer size in, the name's
// length (without the zero) out. The write time is reported as zero.
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPSTR lpClass,
                   LPDWORD lpcchClass, struct _FILETIME* lpftLastWriteTime);
// The index-th value: its name, type and data (each output may be null).
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
// Deletes a key that has no sub keys, with its values ("" deletes hKey's own key).
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
// Deletes one value; needs KEY_SET_VALUE.
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
// Closes an opened key; closing a predefined root succeeds and does nothing.
LONG RegCloseKey(HKEY hKey);

// Writes the text to stderr when the environment variable TAVLEN_DEBUG is set.
void OutputDebugStringA(LPCSTR lpOutputString);
