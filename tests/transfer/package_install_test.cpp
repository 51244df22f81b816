// UpdatePackage::Install against the loopback servers: verification,
// the three attempts, the message box, and the actions with ${this_file}.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "actions/core/update_action.h"
#include "manifest/update_info.h"
#include "platform/win32.h"
#include "tests/servers/loopback_servers.h"
#include "tests/servers/recording_display.h"
#include "tests/servers/work_folder.h"
#include "transfer/md5.h"
#include "update/install_context.h"

namespace {

using tavlen::test::LoopbackServers;
using tavlen::test::PatternBytes;

const char kDownloading[] = "下载文件: ";
const char kGiveUp[] = "文件无法下载，请与Oravex公司联系";

// Records "id=<its file attribute>" when it runs and returns the given result.
class ProbeAction final : public UpdateAction {
 public:
  ProbeAction(std::vector<std::string>& trail, std::string id, bool result)
      : UpdateAction("probe"), m_trail(trail), m_id(std::move(id)), m_result(result) {
    DeclareAttributes("description,file", ",");
    SetAttribute("file", "${this_file}");
  }
  bool Execute() override {
    m_trail.push_back(m_id + "=" + GetAttribute("file"));
    return m_result;
  }

 private:
  std::vector<std::string>& m_trail;
  std::string m_id;
  bool m_result;
};

class PackageInstall : public testing::Test {
 protected:
  void SetUp() override {
    if (!servers.Available()) GTEST_SKIP() << "run through ctest: the loopback servers are not running";
    AppContext().m_szDownloadDir = work / "download";
  }

  // A unique key for the flaky server's request counter.
  static std::string Key() { return std::to_string(GetTickCount()) + "-" + std::to_string(++s_serial); }

  void AddProbes(UpdatePackage& package, bool preResult = true) {
    package.m_preActions.push_back(std::make_unique<ProbeAction>(trail, "pre", preResult));
    package.m_actions.push_back(nullptr);
    package.m_actions.push_back(std::make_unique<ProbeAction>(trail, "main", true));
    package.m_postActions.push_back(std::make_unique<ProbeAction>(trail, "post", true));
  }

  LoopbackServers servers;
  tavlen::test::WorkFolder work;
  tavlen::test::RecordingDisplay display;
  std::vector<std::string> trail;
  static inline int s_serial = 0;
};

TEST_F(PackageInstall, VerifiedFileThenActionsInOrder) {
  UpdatePackage package;
  package.m_szDescription = "核心文件";
  package.m_szUrl = servers.Fault("/data/5000");
  package.m_szMd5 = Md5Digest::OfBytes(PatternBytes(5000));
  for (auto& c : package.m_szMd5) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  AddProbes(package);

  ASSERT_TRUE(package.Install());
  const std::string local = work / "download\\5000";
  EXPECT_EQ(package.m_szLocalFile, local);
  std::string bytes;
  ASSERT_TRUE(tavlen::test::ReadFileBytes(local, bytes));
  EXPECT_EQ(bytes, PatternBytes(5000));
  EXPECT_EQ(trail, (std::vector<std::string>{"pre=" + local, "main=" + local, "post=" + local}));
  EXPECT_EQ(display.statuses, (std::vector<std::string>{"核心文件", kDownloading + package.m_szUrl, "检验下载文件",
                                                         "文件校验正确"}));
  EXPECT_TRUE(display.boxes.empty());
}

TEST_F(PackageInstall, AttemptsUntilTheDigestMatches) {
  const struct {
    int corrupted;  // how many responses the server spoils
    bool installed;
  } cases[] = {{1, true}, {2, true}, {3, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.corrupted);
    display.statuses.clear();
    display.boxes.clear();
    trail.clear();
    UpdatePackage package;
    package.m_szUrl = servers.Fault("/flaky/" + Key() + "/" + std::to_string(c.corrupted) + "/3000");
    package.m_szMd5 = Md5Digest::OfBytes(PatternBytes(3000));
    AddProbes(package);

    EXPECT_EQ(package.Install(), c.installed);
    const int attempts = c.installed ? c.corrupted + 1 : 3;
    EXPECT_EQ(display.Count(kDownloading + package.m_szUrl), attempts);
    EXPECT_EQ(display.Count("文件校验错误，重新下载"), c.installed ? c.corrupted : 3);
    if (c.installed) {
      EXPECT_TRUE(display.boxes.empty());
      EXPECT_EQ(trail.size(), 3u);
    } else {
      EXPECT_EQ(display.statuses.back(), kGiveUp);
      ASSERT_EQ(display.boxes.size(), 1u);
      EXPECT_EQ(display.boxes[0].text, kGiveUp);
      EXPECT_EQ(display.boxes[0].style, static_cast<unsigned>(MB_ICONINFORMATION));
      EXPECT_TRUE(trail.empty()) << "no action runs without the file";
      EXPECT_TRUE(tavlen::test::Exists(package.m_szLocalFile)) << "the last attempt's file stays";
    }
  }
}

TEST_F(PackageInstall, FilesThatCannotBeObtained) {
  const struct {
    std::string url;
    const char* md5;
  } cases[] = {
      {servers.Fault("/notfound"), ""},  // an error page is not a package, even without a digest
      {servers.Fault("/short/9000/100"), ""},
      {LoopbackServers::Refused("/a.zip"), "d41d8cd98f00b204e9800998ecf8427e"},
      {servers.Fault("/data/"), ""},  // no file name: the target is the folder itself
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    display.statuses.clear();
    display.boxes.clear();
    trail.clear();
    UpdatePackage package;
    package.m_szUrl = c.url;
    package.m_szMd5 = c.md5;
    AddProbes(package);
    EXPECT_FALSE(package.Install());
    int attempts = 0;
    for (const auto& status : display.statuses) attempts += status.rfind(kDownloading, 0) == 0 ? 1 : 0;
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(display.boxes.size(), 1u);
    EXPECT_TRUE(trail.empty());
  }
}

TEST_F(PackageInstall, LaterAttemptsUseTheCanonicalUrl) {
  UpdatePackage package;
  package.m_szUrl = servers.Fault("/data/x/../40");
  package.m_szMd5 = "00000000000000000000000000000000";
  EXPECT_FALSE(package.Install());
  EXPECT_EQ(display.Count(kDownloading + servers.Fault("/data/x/../40")), 1);
  EXPECT_EQ(display.Count(kDownloading + servers.Fault("/data/40")), 2);
}

TEST_F(PackageInstall, WithoutUrlOnlyTheActionsRun) {
  UpdatePackage package;
  package.m_szMd5 = "ignored";
  AddProbes(package);
  EXPECT_TRUE(package.Install());
  EXPECT_EQ(package.m_szLocalFile, "");
  EXPECT_EQ(trail, (std::vector<std::string>{"pre=", "main=", "post="}));
  EXPECT_TRUE(display.statuses.empty());
}

TEST_F(PackageInstall, FailingActionStopsThePackage) {
  UpdatePackage package;
  AddProbes(package, false);
  EXPECT_FALSE(package.Install());
  EXPECT_EQ(trail, std::vector<std::string>{"pre="});
  EXPECT_TRUE(display.boxes.empty());
}

TEST_F(PackageInstall, LocalPathHasSingleBackslashes) {
  AppContext().m_szDownloadDir = work / "dl\\";
  UpdatePackage package;
  package.m_szUrl = servers.Fault("/data/10?version=2");
  EXPECT_TRUE(package.Install());
  EXPECT_EQ(package.m_szLocalFile, work / "dl\\10");
  EXPECT_TRUE(tavlen::test::Exists(work / "dl\\10"));
}

}  // namespace
