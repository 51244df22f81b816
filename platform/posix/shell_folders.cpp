// Linux: the shell's special folders (CSIDL numbers) in the prefix, laid
// out as on current Windows. Their item lists are private to this layer:
// one item holding a marker byte and the folder's Windows path.
#include <cstring>
#include <string>

#include "platform/posix/environment.h"
#include "platform/posix/win_shell.h"

namespace {

enum class Base { Profile, AppData, LocalAppData, CommonData, Public, Windows, Root, Virtual };

struct Folder {
  int id;
  Base base;
  const char* path;  // below the base folder
};

// Folders Windows keeps without a file-system path are Virtual; numbers not
// listed are unknown (E_INVALIDARG) or, with no path, listed as nullptr.
constexpr Folder kFolders[] = {
    {CSIDL_DESKTOP, Base::Profile, "Desktop"},
    {CSIDL_INTERNET, Base::Virtual, ""},
    {CSIDL_PROGRAMS, Base::AppData, "Microsoft\\Windows\\Start Menu\\Programs"},
    {CSIDL_CONTROLS, Base::Virtual, ""},
    {CSIDL_PRINTERS, Base::Virtual, ""},
    {CSIDL_PERSONAL, Base::Profile, "Documents"},
    {CSIDL_FAVORITES, Base::Profile, "Favorites"},
    {CSIDL_STARTUP, Base::AppData, "Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
    {CSIDL_RECENT, Base::AppData, "Microsoft\\Windows\\Recent"},
    {CSIDL_SENDTO, Base::AppData, "Microsoft\\Windows\\SendTo"},
    {CSIDL_BITBUCKET, Base::Virtual, ""},
    {CSIDL_STARTMENU, Base::AppData, "Microsoft\\Windows\\Start Menu"},
    {CSIDL_MYMUSIC, Base::Profile, "Music"},
    {CSIDL_MYVIDEO, Base::Profile, "Videos"},
    {CSIDL_DESKTOPDIRECTORY, Base::Profile, "Desktop"},
    {CSIDL_DRIVES, Base::Virtual, ""},
    {CSIDL_NETWORK, Base::Virtual, ""},
    {CSIDL_NETHOOD, Base::AppData, "Microsoft\\Windows\\Network Shortcuts"},
    {CSIDL_FONTS, Base::Windows, "Fonts"},
    {CSIDL_TEMPLATES, Base::AppData, "Microsoft\\Windows\\Templates"},
    {CSIDL_COMMON_STARTMENU, Base::CommonData, "Microsoft\\Windows\\Start Menu"},
    {CSIDL_COMMON_PROGRAMS, Base::CommonData, "Microsoft\\Windows\\Start Menu\\Programs"},
    {CSIDL_COMMON_STARTUP, Base::CommonData, "Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
    {CSIDL_COMMON_DESKTOPDIRECTORY, Base::Public, "Desktop"},
    {CSIDL_APPDATA, Base::AppData, ""},
    {CSIDL_PRINTHOOD, Base::AppData, "Microsoft\\Windows\\Printer Shortcuts"},
    {CSIDL_LOCAL_APPDATA, Base::LocalAppData, ""},
    {0x1d, Base::Root, nullptr},  // the legacy non-localised startup folders
    {0x1e, Base::Root, nullptr},
    {CSIDL_COMMON_FAVORITES, Base::Profile, "Favorites"},
    {CSIDL_INTERNET_CACHE, Base::LocalAppData, "Microsoft\\Windows\\INetCache"},
    {CSIDL_COOKIES, Base::LocalAppData, "Microsoft\\Windows\\INetCookies"},
    {CSIDL_HISTORY, Base::LocalAppData, "Microsoft\\Windows\\History"},
    {CSIDL_COMMON_APPDATA, Base::CommonData, ""},
    {CSIDL_WINDOWS, Base::Windows, ""},
    {CSIDL_SYSTEM, Base::Windows, "system32"},
    {CSIDL_PROGRAM_FILES, Base::Root, "Program Files"},
    {CSIDL_MYPICTURES, Base::Profile, "Pictures"},
    {CSIDL_PROFILE, Base::Profile, ""},
    // The prefix is the 32-bit Windows the shipped agent runs on.
    {CSIDL_SYSTEMX86, Base::Windows, "system32"},
    {CSIDL_PROGRAM_FILESX86, Base::Root, "Program Files"},
    {CSIDL_PROGRAM_FILES_COMMON, Base::Root, "Program Files\\Common Files"},
    {CSIDL_PROGRAM_FILES_COMMONX86, Base::Root, "Program Files\\Common Files"},
    {CSIDL_COMMON_TEMPLATES, Base::CommonData, "Microsoft\\Windows\\Templates"},
    {CSIDL_COMMON_DOCUMENTS, Base::Public, "Documents"},
    {CSIDL_COMMON_ADMINTOOLS, Base::CommonData, "Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"},
    {CSIDL_ADMINTOOLS, Base::AppData, "Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"},
    {CSIDL_COMMON_MUSIC, Base::Public, "Music"},
    {CSIDL_COMMON_PICTURES, Base::Public, "Pictures"},
    {CSIDL_COMMON_VIDEO, Base::Public, "Videos"},
    {CSIDL_RESOURCES, Base::Windows, "resources"},
    {0x39, Base::Root, nullptr},  // localised resources, OEM links, CD burning
    {0x3a, Base::Root, nullptr},
    {0x3b, Base::Root, nullptr},
};

constexpr BYTE kPathItem = 'P';
constexpr BYTE kVirtualItem = 'V';

std::string BaseFolder(Base base) {
  const std::string profile = "C:\\users\\" + tavlen::posix::UserName();
  switch (base) {
    case Base::Profile: return profile;
    case Base::AppData: return profile + "\\AppData\\Roaming";
    case Base::LocalAppData: return profile + "\\AppData\\Local";
    case Base::CommonData: return "C:\\ProgramData";
    case Base::Public: return "C:\\users\\Public";
    case Base::Windows: return "C:\\windows";
    case Base::Root: return "C:";
    case Base::Virtual: break;
  }
  return std::string();
}

// Creates the folder and its missing parents, as a Windows profile has them.
void MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryA(path.c_str(), nullptr);
}

LPITEMIDLIST MakeList(BYTE kind, const std::string& path) {
  // One item (size, marker, path and its zero), then the terminating size 0.
  const size_t itemSize = 2 + 1 + path.size() + 1;
  auto* bytes = static_cast<BYTE*>(CoTaskMemAlloc(itemSize + 2));
  if (bytes == nullptr) return nullptr;
  bytes[0] = static_cast<BYTE>(itemSize & 0xFF);
  bytes[1] = static_cast<BYTE>(itemSize >> 8);
  bytes[2] = kind;
  std::memcpy(bytes + 3, path.c_str(), path.size() + 1);
  bytes[itemSize] = 0;
  bytes[itemSize + 1] = 0;
  return reinterpret_cast<LPITEMIDLIST>(bytes);
}

}  // namespace

HRESULT SHGetSpecialFolderLocation(HWND, int folder, LPITEMIDLIST* list) {
  if (list == nullptr) return E_INVALIDARG;
  *list = nullptr;
  for (const Folder& entry : kFolders) {
    if (entry.id != folder) continue;
    if (entry.path == nullptr) return E_FAIL;
    if (entry.base == Base::Virtual) {
      *list = MakeList(kVirtualItem, std::string());
    } else {
      std::string path = BaseFolder(entry.base);
      if (*entry.path != '\0') path += std::string("\\") + entry.path;
      tavlen::posix::EnsureProfileFolders();
      MakeFolders(path);
      *list = MakeList(kPathItem, path);
    }
    return *list != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  return E_INVALIDARG;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path) {
  if (path == nullptr) return FALSE;
  path[0] = '\0';
  if (list == nullptr) return FALSE;
  const auto* bytes = reinterpret_cast<const BYTE*>(list);
  const size_t itemSize = bytes[0] | (static_cast<size_t>(bytes[1]) << 8);
  if (itemSize < 4 || bytes[2] != kPathItem) return FALSE;
  const char* text = reinterpret_cast<const char*>(bytes + 3);
  const size_t length = strnlen(text, itemSize - 3);
  if (length >= MAX_PATH) return FALSE;
  std::memcpy(path, text, length);
  path[length] = '\0';
  return TRUE;
}
