// UpdatePackage::Install: fetch the package file into the download folder,
// verify its MD5 with up to three attempts, then run its actions in order.
#include <string>

#include "actions/core/update_action.h"
#include "app/display.h"
#include "manifest/update_info.h"
#include "platform/win32.h"
#include "transfer/downloader.h"
#include "transfer/md5.h"
#include "transfer/package_file_name.h"
#include "update/activity_log.h"
#include "update/install_context.h"
#include "update/path_helpers.h"
#include "update/string_helpers.h"

namespace {

constexpr int kAttempts = 3;

const char kDownloading[] = "下载文件: ";
const char kVerifying[] = "检验下载文件";
const char kMismatch[] = "文件校验错误，重新下载";
const char kVerified[] = "文件校验正确";
const char kGiveUp[] = "文件无法下载，请与Oravex公司联系";

// One download attempt into m_szLocalFile; true when the file is in place
// and, when the manifest names a digest, matches it.
bool FetchOnce(UpdatePackage& package) {
  package.m_szLocalFile =
      CollapseDoubleBackslashes(AppContext().m_szDownloadDir + "\\" + PackageFileName(package.m_szUrl));
  LogActivity(kDownloading + package.m_szUrl, true);
  if (!Download(package.m_szUrl, package.m_szLocalFile, true, true)) return false;
  if (package.m_szMd5.empty()) return true;
  LogActivity(kVerifying, true);
  const char* digest = Md5Digest::OfFile(package.m_szLocalFile);
  const std::string text = digest != nullptr ? digest : "";
  if (digest == nullptr || !EqualsNoCase(package.m_szMd5, text)) {
    LogActivity(kMismatch, true);
    return false;
  }
  LogActivity(kVerified, true);
  return true;
}

bool RunActions(std::vector<std::unique_ptr<UpdateAction>>& actions, const std::string& localFile) {
  for (auto& action : actions) {
    if (!action) continue;
    action->SubstituteThisFile(localFile);
    if (!action->Execute()) return false;
  }
  return true;
}

}  // namespace

bool UpdatePackage::Install() {
  if (!m_szDescription.empty()) LogActivity(m_szDescription, true);
  m_szLocalFile.clear();
  if (!m_szUrl.empty()) {
    bool fetched = false;
    for (int attempt = 0; attempt < kAttempts && !fetched; ++attempt) fetched = FetchOnce(*this);
    if (!fetched) {
      LogActivity(kGiveUp, true);
      MainWindow().ShowMessageBox(kGiveUp, MB_ICONINFORMATION);
      return false;
    }
  }
  return RunActions(m_preActions, m_szLocalFile) && RunActions(m_actions, m_szLocalFile) &&
         RunActions(m_postActions, m_szLocalFile);
}
