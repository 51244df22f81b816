#include "tests/run/run_fixture.h"

#include "manifest/version_number.h"
#include "platform/win32.h"
#include "transfer/md5.h"
#include "update/install_context.h"

namespace tavlen::test {

namespace {

bool SetValue(const std::string& key, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG result = RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(handle);
  return result == ERROR_SUCCESS;
}

bool GetValue(const std::string& key, const char* name, std::string& bytes) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  char buffer[256] = {};
  DWORD size = sizeof buffer;
  const LONG result = RegQueryValueExA(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(handle);
  if (result != ERROR_SUCCESS) return false;
  bytes.assign(buffer, size);
  return true;
}

int g_serial = 0;

}  // namespace

RunFixture::RunFixture(const std::string& installed) {
  m_tag = "RUN" + std::to_string(GetTickCount()) + "X" + std::to_string(++g_serial);
  m_app = work / "app";
  m_download = m_app + "\\download";
  CreateDirectoryA(m_app.c_str(), nullptr);
  CreateDirectoryA(m_download.c_str(), nullptr);
  InstallContext& context = AppContext();
  context.m_szRegKey = "SOFTWARE\\TAVLEN\\" + m_tag;
  context.m_szCurVersion = installed;
  context.m_szAppPath = m_app;
  context.m_szDownloadDir = m_download;
  const uint32_t packed = PackVersion(installed);
  SetValue(context.m_szRegKey, "", REG_SZ, m_app.c_str(), static_cast<DWORD>(m_app.size() + 1));
  SetValue(context.m_szRegKey, "cert", REG_BINARY, &packed, sizeof packed);
  SetValue(kUninstallKey, "DisplayVersion", REG_SZ, installed.c_str(), static_cast<DWORD>(installed.size() + 1));
}

RunFixture::~RunFixture() {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, AppContext().m_szRegKey.c_str());
  for (const auto& file : m_served) DeleteFileA(servers.WebFile(file).c_str());
}

void RunFixture::SetUpdateUrl(const std::string& url) {
  SetValue(AppContext().m_szRegKey, "updateurl", REG_SZ, url.c_str(), static_cast<DWORD>(url.size() + 1));
}

std::string RunFixture::ServeText(const std::string& name, const std::string& text) {
  const std::string file = m_tag + "-" + name;
  WriteFileBytes(servers.WebFile(file), text);
  m_served.push_back(file);
  return servers.Nginx("/" + file);
}

std::string RunFixture::ServeManifest(const std::string& version, const std::vector<PackageSpec>& packages) {
  std::string xml = "<?xml version=\"1.0\"?>\n<updateinfo version=\"" + version + "\">\n";
  for (const auto& package : packages) {
    const std::string url = ServeText(package.name, package.contents);
    const std::string digest = package.wrongDigest ? std::string(32, '0') : Md5Digest::OfBytes(package.contents);
    xml += "  <package name=\"" + package.name + "\">\n    <description>安装 " + package.name +
           "</description>\n    <url>" + url + "</url>\n    <md5>" + digest +
           "</md5>\n    <actions>\n      <action type=\"copy\" from=\"${this_file}\" to=\"${app_path}\\" +
           package.name + "\" move=\"false\"/>\n    </actions>\n  </package>\n";
  }
  xml += "</updateinfo>\n";
  return ServeText("update.xml", xml);
}

std::string RunFixture::CertVersion() const {
  std::string bytes;
  if (!GetValue(AppContext().m_szRegKey, "cert", bytes) || bytes.size() < 4) return {};
  uint32_t packed = 0;
  for (int i = 3; i >= 0; --i) packed = (packed << 8) | static_cast<unsigned char>(bytes[i]);
  return UnpackVersion(packed);
}

std::string RunFixture::DisplayVersion() const {
  std::string bytes;
  if (!GetValue(kUninstallKey, "DisplayVersion", bytes)) return {};
  return bytes.c_str();
}

}  // namespace tavlen::test
