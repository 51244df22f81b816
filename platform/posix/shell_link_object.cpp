// Linux: the shell link object, one object with the IShellLinkA and
// IPersistFile faces, keeping a shortcut's fields in memory and reading or
// writing them as a .lnk file.
#include "platform/posix/shell_link_object.h"

#include <atomic>
#include <cstring>
#include <new>
#include <string>

#include "platform/posix/shell_link_format.h"
#include "platform/posix/win_cp936.h"

namespace tavlen::posix {

namespace {

// A .lnk file is small; anything bigger is not one of ours to read.
constexpr DWORD kMaxLinkFileSize = 1 << 20;

HRESULT LastErrorResult() {
  const DWORD error = GetLastError();
  return error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

HRESULT Store(LPCSTR text, std::string& field) {
  if (text == nullptr) return E_INVALIDARG;
  const size_t length = std::strlen(text);
  if (length >= MAX_PATH) return E_INVALIDARG;
  field.assign(text, length);
  return S_OK;
}

HRESULT CopyOut(const std::string& field, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) return E_INVALIDARG;
  const size_t count = field.size() < static_cast<size_t>(size - 1) ? field.size() : static_cast<size_t>(size - 1);
  std::memcpy(buffer, field.data(), count);
  buffer[count] = '\0';
  return S_OK;
}

// A UTF-16 file name in code page 936, refused when it is MAX_PATH or longer.
bool FileNameFromWide(LPCOLESTR wide, std::string& name) {
  if (wide == nullptr) return false;
  char buffer[MAX_PATH];
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, MAX_PATH, nullptr, nullptr);
  if (size <= 0) return false;
  name = buffer;
  return true;
}

class ShellLinkObject final : public IShellLinkA, public IPersistFile {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IShellLinkA) {
      *object = static_cast<IShellLinkA*>(this);
    } else if (iid == IID_IPersistFile || iid == IID_IPersist) {
      *object = static_cast<IPersistFile*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }

  HRESULT GetPath(LPSTR file, int size, WIN32_FIND_DATAA* data, DWORD) override {
    if (data != nullptr) {
      std::memset(data, 0, sizeof *data);
      const auto slash = m_link.target.find_last_of('\\');
      const std::string name = slash == std::string::npos ? m_link.target : m_link.target.substr(slash + 1);
      std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
      data->dwFileAttributes = m_link.targetAttributes;
      data->nFileSizeLow = m_link.targetSize;
    }
    const HRESULT result = CopyOut(m_link.target, file, size);
    return SUCCEEDED(result) && m_link.target.empty() ? S_FALSE : result;
  }
  HRESULT GetDescription(LPSTR name, int size) override { return CopyOut(m_link.description, name, size); }
  HRESULT SetDescription(LPCSTR name) override { return Store(name, m_link.description); }
  HRESULT GetArguments(LPSTR args, int size) override { return CopyOut(m_link.arguments, args, size); }
  HRESULT SetArguments(LPCSTR args) override { return Store(args, m_link.arguments); }
  HRESULT GetIconLocation(LPSTR iconPath, int size, int* index) override {
    if (index == nullptr) return E_INVALIDARG;
    *index = m_link.iconIndex;
    return CopyOut(m_link.iconFile, iconPath, size);
  }
  HRESULT SetIconLocation(LPCSTR iconPath, int index) override {
    const HRESULT result = Store(iconPath, m_link.iconFile);
    if (SUCCEEDED(result)) m_link.iconIndex = index;
    return result;
  }
  HRESULT Resolve(HWND, DWORD) override { return S_OK; }
  HRESULT SetPath(LPCSTR file) override { return Store(file, m_link.target); }

  HRESULT GetClassID(CLSID* classId) override {
    if (classId == nullptr) return E_POINTER;
    *classId = CLSID_ShellLink;
    return S_OK;
  }
  HRESULT IsDirty() override { return S_FALSE; }
  HRESULT Load(LPCOLESTR fileName, DWORD) override {
    std::string path;
    if (!FileNameFromWide(fileName, path)) return E_INVALIDARG;
    std::string bytes;
    if (const HRESULT result = ReadWhole(path, bytes); FAILED(result)) return result;
    ShellLinkData link;
    if (!DecodeShellLink(bytes, link)) return E_FAIL;
    m_link = link;
    m_file = path;
    return S_OK;
  }
  HRESULT Save(LPCOLESTR fileName, BOOL remember) override {
    std::string path;
    if (fileName == nullptr) {
      path = m_file;
    } else if (!FileNameFromWide(fileName, path)) {
      return E_INVALIDARG;
    }
    if (path.empty()) return E_INVALIDARG;
    DescribeTarget();
    const std::string bytes = EncodeShellLink(m_link);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrorResult();
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const HRESULT result = ok && written == bytes.size() ? S_OK : LastErrorResult();
    CloseHandle(file);
    if (FAILED(result)) {
      DeleteFileA(path.c_str());  // no half-written shortcut is left behind
      return result;
    }
    if (remember) m_file = path;
    return S_OK;
  }
  HRESULT SaveCompleted(LPCOLESTR) override { return S_OK; }
  HRESULT GetCurFile(LPOLESTR* fileName) override {
    if (fileName == nullptr) return E_POINTER;
    *fileName = nullptr;
    return E_NOTIMPL;
  }

 private:
  ~ShellLinkObject() = default;

  static HRESULT ReadWhole(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrorResult();
    HRESULT result = S_OK;
    const DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxLinkFileSize) {
      result = E_FAIL;
    } else {
      bytes.resize(size);
      DWORD got = 0;
      if (size > 0 && (!ReadFile(file, bytes.data(), size, &got, nullptr) || got != size)) result = E_FAIL;
    }
    CloseHandle(file);
    return result;
  }

  // The header repeats the target's attributes, size and times.
  void DescribeTarget() {
    m_link.targetAttributes = 0;
    m_link.targetSize = 0;
    m_link.creationTime = m_link.accessTime = m_link.writeTime = FILETIME{};
    if (m_link.target.empty()) return;
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA(m_link.target.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    FindClose(find);
    m_link.targetAttributes = data.dwFileAttributes;
    m_link.targetSize = data.nFileSizeLow;
    m_link.creationTime = data.ftCreationTime;
    m_link.accessTime = data.ftLastAccessTime;
    m_link.writeTime = data.ftLastWriteTime;
  }

  std::atomic<ULONG> m_references{1};
  ShellLinkData m_link;
  std::string m_file;
};

}  // namespace

HRESULT CreateShellLinkObject(REFIID iid, void** object) {
  auto* link = new (std::nothrow) ShellLinkObject();
  if (link == nullptr) return E_OUTOFMEMORY;
  const HRESULT result = link->QueryInterface(iid, object);
  link->Release();
  return result;
}

}  // namespace tavlen::posix
