// UpdateInfo::UpdateRun: one whole update, from the connection check to the
// clean-up of the download folder.
#include <ctime>
#include <string>

#include "app/display.h"
#include "manifest/update_info.h"
#include "manifest/version_number.h"
#include "platform/win32.h"
#include "transfer/downloader.h"
#include "update/activity_log.h"
#include "update/install_context.h"
#include "update/path_helpers.h"

namespace {

constexpr int32_t kKeepRange = -1;
constexpr int32_t kBarEnd = 10;

// "label" followed by the local time as %Y-%m-%d %H:%M:%S and the ending.
std::string TimeLine(const char* label, const char* ending) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(label) + stamp + ending;
}

// Runs the packages in order; false at the first that fails.
bool InstallPackages(std::vector<std::unique_ptr<UpdatePackage>>& packages) {
  LogActivity("开始更新", true);
  int32_t position = 3;
  for (auto& package : packages) {
    if (package && !package->Install()) {
      LogActivity("更新失败！请重试一次。", true);
      return false;
    }
    MainWindow().SetTotalProgress(position++, kKeepRange);
  }
  return true;
}

}  // namespace

bool UpdateInfo::UpdateRun(std::string url, std::string& text) {
  MainWindow().SetTotalProgress(0, kKeepRange);
  LogActivity(TimeLine("开始时间: ", ""), false);

  DWORD connection = 0;
  if (!InternetGetConnectedState(&connection, 0)) {
    LogActivity("没有网络连接", true);
    return false;
  }
  LogActivity("检查更新信息", true);
  const bool downloaded = Download(url, text, false, true);
  MainWindow().SetTotalProgress(1, kKeepRange);
  if (!downloaded) {
    LogActivity("无法获取更新信息。", true);
    MainWindow().SetTotalProgress(kBarEnd, kKeepRange);
    return false;
  }
  if (text.empty()) {
    LogActivity("没有任何更新信息。", true);
    MainWindow().SetTotalProgress(kBarEnd, kKeepRange);
    return true;
  }

  LogActivity("分析更新信息", true);
  bool result = LoadManifest(text);
  MainWindow().SetTotalProgress(2, kKeepRange);
  if (!result) {
    LogActivity("更新信息不对，请与Oravex公司联系", true);
    MainWindow().SetTotalProgress(kBarEnd, kKeepRange);
  } else {
    const auto count = static_cast<int32_t>(m_packages.size());
    MainWindow().SetTotalProgress(2, count + 2);
    if (count > 0) {
      result = InstallPackages(m_packages);
      if (result) {
        StoreInstalledVersion(m_szVersion);
        LogActivity("更新完毕", true);
      }
    }
  }

  const std::string& downloadDir = AppContext().m_szDownloadDir;
  if (DirectoryExists(downloadDir)) DeleteDirectoryTree(downloadDir);
  LogActivity(TimeLine("结束时间: ", "\r\n"), false);
  return result;
}
