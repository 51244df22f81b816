#include "actions/shell_link.h"

#include "update/path_helpers.h"
#include "update/string_helpers.h"

namespace {

// Releases a component object at the end of a scope.
template <typename Interface>
class Released {
 public:
  Released() = default;
  ~Released() {
    if (m_object != nullptr) m_object->Release();
  }
  Released(const Released&) = delete;
  Released& operator=(const Released&) = delete;
  Interface* operator->() const { return m_object; }
  void** Out() { return reinterpret_cast<void**>(&m_object); }

 private:
  Interface* m_object = nullptr;
};

// The link path as UTF-16 for IPersistFile, within MAX_PATH wide characters.
bool WidePath(const std::string& path, DWORD flags, WCHAR (&wide)[MAX_PATH]) {
  return MultiByteToWideChar(CP_ACP, flags, path.c_str(), -1, wide, MAX_PATH) > 0;
}

// The next backslash at or after start, stepping over double-byte characters
// (whose second byte may be 0x5C); npos when there is none.
size_t NextBackslash(const std::string& text, size_t start) {
  for (size_t i = start; i < text.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
      ++i;
    } else if (text[i] == '\\') {
      return i;
    }
  }
  return std::string::npos;
}

}  // namespace

bool ShellLink::SpecialFolderPath(int32_t folderId, std::string& path) const {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folderId, &list))) return false;
  char buffer[MAX_PATH] = {};
  const BOOL found = SHGetPathFromIDListA(list, buffer);
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&allocator))) {
    allocator->Free(list);
    allocator->Release();
  }
  if (!found) return false;
  path = std::string(buffer) + "\\";
  return true;
}

bool ShellLink::LinkPath(int32_t folderId, const std::string& name, std::string& linkPath) const {
  std::string folder;
  if (!SpecialFolderPath(folderId, folder)) return false;
  linkPath = folder + name + ".lnk";
  return FitsMaxPath(linkPath);
}

bool ShellLink::CreateLink(int32_t folderId, std::string name, std::string target, std::string arguments,
                           std::string description, std::string iconFile, int32_t iconIndex) const {
  name = Trim(name);
  target = Trim(target);
  arguments = Trim(arguments);
  description = Trim(description);
  iconFile = Trim(iconFile);
  std::string linkPath;
  if (!LinkPath(folderId, name, linkPath)) return false;
  if (target.empty()) {
    char module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    target = module;
  }
  CoInitialize(nullptr);
  Released<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Out()))) {
    return false;
  }
  link->SetPath(target.c_str());
  link->SetDescription(description.c_str());
  if (!arguments.empty()) link->SetArguments(arguments.c_str());
  Released<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out()))) return false;
  WCHAR wide[MAX_PATH];
  if (!WidePath(linkPath, MB_PRECOMPOSED, wide)) return false;
  if (!iconFile.empty()) link->SetIconLocation(iconFile.c_str(), iconIndex);
  return SUCCEEDED(file->Save(wide, TRUE));
}

bool ShellLink::DeleteLink(int32_t folderId, const std::string& name) const {
  std::string linkPath;
  if (!LinkPath(folderId, name, linkPath)) return false;
  const std::string list = linkPath + '\0';  // c_str() adds the list's second zero
  SHFILEOPSTRUCTA operation{};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = list.c_str();
  operation.pTo = nullptr;
  operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI;
  return SHFileOperationA(&operation) == 0;
}

bool ShellLink::LinkExists(int32_t folderId, const std::string& name) const {
  std::string linkPath;
  return LinkPath(folderId, name, linkPath) && PathExists(linkPath);
}

HRESULT ShellLink::ReadLink(HWND owner, int32_t folderId, const std::string& name, ShellLinkFields& fields) const {
  fields = ShellLinkFields{};
  std::string linkPath;
  if (!LinkPath(folderId, name, linkPath)) return E_FAIL;
  CoInitialize(nullptr);
  Released<IShellLinkA> link;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Out());
  if (FAILED(result)) return result;
  Released<IPersistFile> file;
  if (FAILED(result = link->QueryInterface(IID_IPersistFile, file.Out()))) return result;
  WCHAR wide[MAX_PATH];
  if (!WidePath(linkPath, 0, wide)) return E_INVALIDARG;
  if (FAILED(result = file->Load(wide, STGM_READ))) return result;
  if (FAILED(result = link->Resolve(owner, SLR_NO_UI | SLR_ANY_MATCH))) return result;

  char buffer[MAX_PATH] = {};
  if (FAILED(result = link->GetPath(buffer, MAX_PATH, nullptr, SLGP_SHORTPATH))) return result;
  fields.target = buffer;
  if (FAILED(result = link->GetArguments(buffer, MAX_PATH))) return result;
  fields.arguments = buffer;
  if (FAILED(result = link->GetDescription(buffer, MAX_PATH))) return result;
  fields.description = buffer;
  int iconIndex = 0;
  if (FAILED(result = link->GetIconLocation(buffer, MAX_PATH, &iconIndex))) return result;
  fields.iconFile = buffer;
  fields.iconIndex = iconIndex;

  std::string longPath;
  if (ExpandToLongPath(fields.target, longPath) > static_cast<int>(fields.target.size())) fields.target = longPath;
  if (ExpandToLongPath(fields.iconFile, longPath) > static_cast<int>(fields.iconFile.size())) {
    fields.iconFile = longPath;
  }
  return result;
}

int ExpandToLongPath(const std::string& path, std::string& longPath) {
  std::string text = Trim(path);
  if (text.empty() || !FitsMaxPath(text) || GetFileAttributesA(text.c_str()) == INVALID_FILE_ATTRIBUTES) return 0;
  text = ReplaceAll(text, "/", "\\");
  const bool drive = text.size() >= 2 && text[1] == ':' &&
                     ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
  if (!drive) return 0;
  if (text.size() == 2 || text.size() == 3) {
    if (text.size() == 3 && text[2] != '\\') return 0;
    longPath = text;
    return static_cast<int>(text.size());
  }
  if (text[2] != '\\') return 0;

  std::string result = text.substr(0, 3);
  std::string shortSoFar = result;
  size_t start = 3;
  while (start <= text.size()) {
    size_t end = NextBackslash(text, start);
    if (end == std::string::npos) end = text.size();
    const std::string component = text.substr(start, end - start);
    if (component.empty()) return 0;
    shortSoFar += (shortSoFar.back() == '\\' ? "" : "\\") + component;
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA(shortSoFar.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    FindClose(find);
    result += data.cFileName;
    if (end < text.size()) result += "\\";
    if (!FitsMaxPath(result)) return 0;
    start = end + 1;
  }
  if (GetFileAttributesA(result.c_str()) == INVALID_FILE_ATTRIBUTES) return 0;
  longPath = result;
  return static_cast<int>(result.size());
}
