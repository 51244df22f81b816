#include "update/install_context.h"

#include <cstdio>

#include "manifest/version_number.h"
#include "platform/registry_key.h"
#include "platform/win32.h"
#include "update/path_helpers.h"
#include "update/string_helpers.h"

#ifndef TAVLEN_UPDATE_HOST
#define TAVLEN_UPDATE_HOST "update.tavlen.com"
#endif

const char* const kDefaultUpdateUrl = "http://" TAVLEN_UPDATE_HOST "/file/update/update.xml";

InstallContext& AppContext() {
  static InstallContext context;
  return context;
}

std::string GetModulePath() {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(buffer, length);
}

namespace {

// printf-style use of a stored URL with the installed version as its one
// argument: "%s" takes the version, "%%" becomes "%"; any other conversion is
// kept as written, since it has no argument to format.
std::string FormatUpdateUrl(const std::string& templ, const std::string& version) {
  std::string url;
  bool versionUsed = false;
  for (std::string::size_type i = 0; i < templ.size(); ++i) {
    if (templ[i] == '%' && i + 1 < templ.size()) {
      if (templ[i + 1] == '%') {
        url += '%';
        ++i;
        continue;
      }
      if (templ[i + 1] == 's' && !versionUsed) {
        url += version;
        versionUsed = true;
        ++i;
        continue;
      }
    }
    url += templ[i];
  }
  return url;
}

std::string SystemFolder(UINT (*query)(LPSTR, UINT)) {
  char buffer[MAX_PATH] = {};
  const UINT length = query(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(buffer, length);
}

UINT WindowsFolder(LPSTR buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); }
UINT SystemDirectory(LPSTR buffer, UINT size) { return GetSystemDirectoryA(buffer, size); }

}  // namespace

bool LocateInstallation() {
  InstallContext& context = AppContext();
  context.m_szCurVersion = ReadInstalledVersion();

  RegistryKey key;
  key.SetRootKey(HKEY_LOCAL_MACHINE);
  key.SetSubKey(context.m_szRegKey.c_str());
  key.SetValueName("");
  std::string appPath;
  if (key.ReadString(appPath) != ERROR_SUCCESS || appPath.empty()) return false;
  context.m_szAppPath = appPath;

  context.m_szDownloadDir = context.m_szAppPath + "\\download";
  if (!DirectoryExists(context.m_szDownloadDir)) CreateDirectoryPath(context.m_szDownloadDir);

  std::string urlTemplate;
  key.SetValueName("updateurl");
  if (key.ReadString(urlTemplate) != ERROR_SUCCESS || urlTemplate.empty()) urlTemplate = kDefaultUpdateUrl;
  context.m_szUpdateUrl = FormatUpdateUrl(urlTemplate, context.m_szCurVersion);

  context.m_szWinPath = SystemFolder(WindowsFolder);
  context.m_szSys32Path = SystemFolder(SystemDirectory);

  context.m_szModulePath = GetModulePath();
  context.m_szModuleName = SplitFileName(context.m_szModulePath, &context.m_szModuleDir);
  return true;
}
