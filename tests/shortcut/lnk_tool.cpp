// Writes or reads one .lnk file through the shell link object, for the
// exchange test between the Linux and the Windows build.
//
//   lnk_tool write LINK TARGET ARGUMENTS DESCRIPTION ICONFILE ICONINDEX
//   lnk_tool read LINK      prints target=, arguments=, description=,
//                           iconfile= and iconindex= lines
// Texts are code page 936; LINK is a Windows path.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/win32.h"

namespace {

int Fail(const char* step, HRESULT result) {
  std::fprintf(stderr, "%s failed: 0x%08lx\n", step, static_cast<unsigned long>(result));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool write = argc == 8 && std::string_view(argv[1]) == "write";
  const bool read = argc == 3 && std::string_view(argv[1]) == "read";
  if (!write && !read) return 2;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&link));
  if (FAILED(result)) return Fail("CoCreateInstance", result);
  IPersistFile* file = nullptr;
  result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (FAILED(result)) return Fail("QueryInterface", result);
  WCHAR path[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, argv[2], -1, path, MAX_PATH) == 0) return Fail("MultiByteToWideChar", E_FAIL);
  int status = 0;
  if (write) {
    link->SetPath(argv[3]);
    link->SetArguments(argv[4]);
    link->SetDescription(argv[5]);
    link->SetIconLocation(argv[6], std::atoi(argv[7]));
    if (FAILED(result = file->Save(path, TRUE))) status = Fail("Save", result);
  } else if (FAILED(result = file->Load(path, STGM_READ))) {
    status = Fail("Load", result);
  } else {
    char text[MAX_PATH] = {};
    int index = 0;
    link->GetPath(text, MAX_PATH, nullptr, 0);
    std::printf("target=%s\n", text);
    link->GetArguments(text, MAX_PATH);
    std::printf("arguments=%s\n", text);
    link->GetDescription(text, MAX_PATH);
    std::printf("description=%s\n", text);
    link->GetIconLocation(text, MAX_PATH, &index);
    std::printf("iconfile=%s\niconindex=%d\n", text, index);
  }
  file->Release();
  link->Release();
  return status;
}
