// Linux: the shell and component-object calls the agent uses, as C++
// interfaces with the Win32 names, so that code written against
// IShellLinkA and IPersistFile compiles unchanged on both targets.
//
// Special folders are those of the prefix's user profile (C:\users\<user>,
// C:\ProgramData, C:\users\Public, C:\windows), created on first request.
// Folders Windows keeps without a file-system path (My Computer, Control
// Panel, the Recycle Bin, ...) have an item list but no path. The shell link
// object reads and writes .lnk files in the published Shell Link binary
// format: the target as link information (a local base path), with the
// description, arguments and icon location as Unicode string data.
#pragma once

#include <cstddef>

#include "platform/posix/win_base.h"
#include "platform/posix/win_files.h"

typedef unsigned short USHORT;
typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
inline bool IsEqualGUID(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}
inline bool operator==(const GUID& a, const GUID& b) { return IsEqualGUID(a, b); }

extern const CLSID CLSID_ShellLink;  // {00021401-0000-0000-C000-000000000046}
extern const IID IID_IUnknown;       // {00000000-0000-0000-C000-000000000046}
extern const IID IID_IMalloc;        // {00000002-0000-0000-C000-000000000046}
extern const IID IID_IPersist;       // {0000010C-0000-0000-C000-000000000046}
extern const IID IID_IPersistFile;   // {0000010B-0000-0000-C000-000000000046}
extern const IID IID_IShellLinkA;    // {000214EE-0000-0000-C000-000000000046}

#define E_NOTIMPL ((HRESULT)0x80004001u)
#define E_POINTER ((HRESULT)0x80004003u)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154u)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110u)
#define STDMETHODCALLTYPE

#define CLSCTX_INPROC_SERVER 0x1u
#define CLSCTX_ALL 0x17u

#define STGM_READ 0x00000000u
#define STGM_WRITE 0x00000001u
#define STGM_READWRITE 0x00000002u

#define SLR_NO_UI 0x0001u
#define SLR_ANY_MATCH 0x0002u
#define SLR_UPDATE 0x0004u
#define SLGP_SHORTPATH 0x0001u
#define SLGP_UNCPRIORITY 0x0002u
#define SLGP_RAWPATH 0x0004u

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;  // objects are released, never deleted by their users
};
typedef IUnknown* LPUNKNOWN;

struct IMalloc : IUnknown {
  virtual void* Alloc(size_t size) = 0;
  virtual void* Realloc(void* block, size_t size) = 0;
  virtual void Free(void* block) = 0;
  virtual size_t GetSize(void* block) = 0;
  virtual int DidAlloc(void* block) = 0;
  virtual void HeapMinimize() = 0;

 protected:
  ~IMalloc() = default;
};
typedef IMalloc* LPMALLOC;

struct IPersist : IUnknown {
  virtual HRESULT GetClassID(CLSID* classId) = 0;

 protected:
  ~IPersist() = default;
};

struct IPersistFile : IPersist {
  virtual HRESULT IsDirty() = 0;
  // Reads a .lnk file; fails with the Win32 error of opening it, or
  // E_FAIL when it is not a shell link.
  virtual HRESULT Load(LPCOLESTR fileName, DWORD mode) = 0;
  // Writes the .lnk file, replacing one that is there; remember makes it the
  // object's current file.
  virtual HRESULT Save(LPCOLESTR fileName, BOOL remember) = 0;
  virtual HRESULT SaveCompleted(LPCOLESTR fileName) = 0;
  virtual HRESULT GetCurFile(LPOLESTR* fileName) = 0;

 protected:
  ~IPersistFile() = default;
};

// The shell link object. Texts are code page 936 and at most MAX_PATH - 1
// bytes; a longer text is refused with E_INVALIDARG. Getters copy at most
// size - 1 bytes and a zero.
struct IShellLinkA : IUnknown {
  // The target path. On Linux names have no 8.3 aliases, so SLGP_SHORTPATH
  // gives the path as stored.
  virtual HRESULT GetPath(LPSTR file, int size, WIN32_FIND_DATAA* data, DWORD flags) = 0;
  virtual HRESULT GetDescription(LPSTR name, int size) = 0;
  virtual HRESULT SetDescription(LPCSTR name) = 0;
  virtual HRESULT GetArguments(LPSTR args, int size) = 0;
  virtual HRESULT SetArguments(LPCSTR args) = 0;
  virtual HRESULT GetIconLocation(LPSTR iconPath, int size, int* index) = 0;
  virtual HRESULT SetIconLocation(LPCSTR iconPath, int index) = 0;
  // Looks for the target without any interface; the target keeps its path
  // whether it exists or not (nothing searches for a moved target).
  virtual HRESULT Resolve(HWND window, DWORD flags) = 0;
  virtual HRESULT SetPath(LPCSTR file) = 0;

 protected:
  ~IShellLinkA() = default;
};

// S_OK for the first call of the process, S_FALSE after; nothing to undo.
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
// Only CLSID_ShellLink exists, in process, with no aggregation.
HRESULT CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object);
LPVOID CoTaskMemAlloc(size_t size);
void CoTaskMemFree(LPVOID block);

struct SHITEMID {
  USHORT cb;
  BYTE abID[1];
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;

#define CSIDL_DESKTOP 0x0000
#define CSIDL_INTERNET 0x0001
#define CSIDL_PROGRAMS 0x0002
#define CSIDL_CONTROLS 0x0003
#define CSIDL_PRINTERS 0x0004
#define CSIDL_PERSONAL 0x0005
#define CSIDL_FAVORITES 0x0006
#define CSIDL_STARTUP 0x0007
#define CSIDL_RECENT 0x0008
#define CSIDL_SENDTO 0x0009
#define CSIDL_BITBUCKET 0x000a
#define CSIDL_STARTMENU 0x000b
#define CSIDL_MYMUSIC 0x000d
#define CSIDL_MYVIDEO 0x000e
#define CSIDL_DESKTOPDIRECTORY 0x0010
#define CSIDL_DRIVES 0x0011
#define CSIDL_NETWORK 0x0012
#define CSIDL_NETHOOD 0x0013
#define CSIDL_FONTS 0x0014
#define CSIDL_TEMPLATES 0x0015
#define CSIDL_COMMON_STARTMENU 0x0016
#define CSIDL_COMMON_PROGRAMS 0x0017
#define CSIDL_COMMON_STARTUP 0x0018
#define CSIDL_COMMON_DESKTOPDIRECTORY 0x0019
#define CSIDL_APPDATA 0x001a
#define CSIDL_PRINTHOOD 0x001b
#define CSIDL_LOCAL_APPDATA 0x001c
#define CSIDL_COMMON_FAVORITES 0x001f
#define CSIDL_INTERNET_CACHE 0x0020
#define CSIDL_COOKIES 0x0021
#define CSIDL_HISTORY 0x0022
#define CSIDL_COMMON_APPDATA 0x0023
#define CSIDL_WINDOWS 0x0024
#define CSIDL_SYSTEM 0x0025
#define CSIDL_PROGRAM_FILES 0x0026
#define CSIDL_MYPICTURES 0x0027
#define CSIDL_PROFILE 0x0028
#define CSIDL_SYSTEMX86 0x0029
#define CSIDL_PROGRAM_FILESX86 0x002a
#define CSIDL_PROGRAM_FILES_COMMON 0x002b
#define CSIDL_PROGRAM_FILES_COMMONX86 0x002c
#define CSIDL_COMMON_TEMPLATES 0x002d
#define CSIDL_COMMON_DOCUMENTS 0x002e
#define CSIDL_COMMON_ADMINTOOLS 0x002f
#define CSIDL_ADMINTOOLS 0x0030
#define CSIDL_COMMON_MUSIC 0x0035
#define CSIDL_COMMON_PICTURES 0x0036
#define CSIDL_COMMON_VIDEO 0x0037
#define CSIDL_RESOURCES 0x0038

// The item list of a special folder, allocated with the shell's allocator.
// E_INVALIDARG for a number Windows does not know, E_FAIL for one it knows
// but has no folder for.
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);
// The file-system path of an item list (MAX_PATH bytes at most); FALSE for a
// folder that has none.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path);
// The shell's allocator (the task allocator), add-referenced.
HRESULT SHGetMalloc(LPMALLOC* allocator);

#define FO_MOVE 0x0001u
#define FO_COPY 0x0002u
#define FO_DELETE 0x0003u
#define FO_RENAME 0x0004u
#define FOF_MULTIDESTFILES 0x0001u
#define FOF_SILENT 0x0004u
#define FOF_NOCONFIRMATION 0x0010u
#define FOF_ALLOWUNDO 0x0040u
#define FOF_FILESONLY 0x0080u
#define FOF_NOCONFIRMMKDIR 0x0200u
#define FOF_NOERRORUI 0x0400u
typedef WORD FILEOP_FLAGS;

typedef struct _SHFILEOPSTRUCTA {
  HWND hwnd;
  UINT wFunc;
  LPCSTR pFrom;
  LPCSTR pTo;
  FILEOP_FLAGS fFlags;
  BOOL fAnyOperationsAborted;
  LPVOID hNameMappings;
  LPCSTR lpszProgressTitle;
} SHFILEOPSTRUCTA, *LPSHFILEOPSTRUCTA;

// Only FO_DELETE, of files: every name of the double-zero-terminated list
// is deleted for good (there is no recycle bin). 0 when all were deleted,
// else the Win32 error of the first that was not (2 for a missing file);
// ERROR_INVALID_FUNCTION for any other operation.
int SHFileOperationA(LPSHFILEOPSTRUCTA operation);
