// Whole update runs in this process (UpdateInfo::UpdateRun) against nginx and
// the fault server: what the user sees, the overall bar, the registry, the
// installation and the download folder afterwards.
#include <gtest/gtest.h>

#include <string>

#include "actions/core/action_factory.h"
#include "manifest/update_info.h"
#include "platform/win32.h"
#include "tests/run/run_fixture.h"
#include "update/install_context.h"

namespace {

using tavlen::test::PackageSpec;
using tavlen::test::RunFixture;

const char kStartLine[] = "开始时间: ";
const char kEndLine[] = "结束时间: ";

class UpdateRun : public testing::Test {
 protected:
  void SetUp() override {
    if (!probe.Available()) GTEST_SKIP() << "run through ctest: the loopback servers are not running";
    ActionFactory::Instance().RegisterPrototypes();
  }
  void TearDown() override { ActionFactory::Instance().DestroyPrototypes(); }

  bool Run(RunFixture& fixture, const std::string& url) {
    UpdateInfo info;
    std::string text = "stale";
    const bool result = info.UpdateRun(url, text);
    manifest = text;
    (void)fixture;
    return result;
  }

  static bool Has(const std::string& log, const std::string& text) { return log.find(text) != std::string::npos; }

  tavlen::test::LoopbackServers probe;
  tavlen::test::RecordingDisplay display;
  std::string manifest;
};

TEST_F(UpdateRun, AllPackagesSucceed) {
  RunFixture fixture("1.0.0.0");
  const std::string url = fixture.ServeManifest(
      "2.0.0.1", {{"p1.txt", "one"}, {"p2.txt", std::string(200000, 'b')}, {"p3.txt", "three"}});
  EXPECT_TRUE(Run(fixture, url));

  EXPECT_EQ(display.overall.position, 5);
  EXPECT_EQ(display.overall.total, 5);
  EXPECT_EQ(display.newest, "2.0.0.1");
  EXPECT_TRUE(display.Saw("开始更新"));
  EXPECT_EQ(display.statuses.back(), "更新完毕");
  EXPECT_EQ(fixture.CertVersion(), "2.0.0.1");
  EXPECT_EQ(fixture.DisplayVersion(), "2.0.0.1");
  std::string bytes;
  EXPECT_TRUE(tavlen::test::ReadFileBytes(fixture.AppFile("p2.txt"), bytes));
  EXPECT_EQ(bytes, std::string(200000, 'b'));
  EXPECT_TRUE(tavlen::test::Exists(fixture.AppFile("p3.txt")));
  EXPECT_FALSE(tavlen::test::Exists(fixture.DownloadDir()));
  EXPECT_NE(manifest.find("<updateinfo version=\"2.0.0.1\">"), std::string::npos);

  const std::string log = fixture.work.Log();
  EXPECT_EQ(log.rfind(kStartLine, 0), 0u) << log;
  EXPECT_TRUE(Has(log, "更新完毕\r\n"));
  EXPECT_EQ(log.substr(log.size() - 5), "\r\r\n\r\n") << "the end line ends in CR CR LF, then the record's CR LF";

  // A second run finds the version installed and the download folder gone.
  display.statuses.clear();
  AppContext().m_szCurVersion = "2.0.0.1";
  EXPECT_TRUE(Run(fixture, url));
  EXPECT_TRUE(display.Saw("你使用的已经是最新版本"));

  // A newer update after that: the downloader makes the folder again.
  EXPECT_TRUE(Run(fixture, fixture.ServeManifest("2.1.0.0", {{"p4.txt", "four"}})));
  EXPECT_TRUE(tavlen::test::Exists(fixture.AppFile("p4.txt")));
  EXPECT_EQ(fixture.CertVersion(), "2.1.0.0");
}

TEST_F(UpdateRun, CleanUpEmptiesTheDownloadFolderDepthFirst) {
  RunFixture fixture("1.0.0.0");
  const std::string& download = fixture.DownloadDir();
  ASSERT_TRUE(CreateDirectoryA((download + "\\a").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((download + "\\a\\b").c_str(), nullptr));
  ASSERT_TRUE(tavlen::test::WriteFileBytes(download + "\\a\\b\\deep.bin", "x"));
  ASSERT_TRUE(tavlen::test::WriteFileBytes(download + "\\locked.bin", "y"));
  SetFileAttributesA((download + "\\locked.bin").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(Run(fixture, fixture.ServeManifest("2.0.0.0", {})));
  EXPECT_FALSE(tavlen::test::Exists(download));
}

TEST_F(UpdateRun, SecondOfThreePackagesFails) {
  RunFixture fixture("1.0.0.0");
  const std::string url = fixture.ServeManifest(
      "2.0.0.1", {{"p1.txt", "one"}, {"p2.txt", "two", true}, {"p3.txt", "three"}});
  EXPECT_FALSE(Run(fixture, url));

  EXPECT_TRUE(tavlen::test::Exists(fixture.AppFile("p1.txt")));
  EXPECT_FALSE(tavlen::test::Exists(fixture.AppFile("p2.txt")));
  EXPECT_FALSE(tavlen::test::Exists(fixture.AppFile("p3.txt")));
  EXPECT_EQ(display.Count("文件校验错误，重新下载"), 3);
  ASSERT_EQ(display.boxes.size(), 1u);
  EXPECT_EQ(display.boxes[0].text, "文件无法下载，请与Oravex公司联系");
  EXPECT_EQ(display.statuses.back(), "更新失败！请重试一次。");
  EXPECT_FALSE(display.Saw("更新完毕"));
  EXPECT_EQ(display.overall.position, 3);
  EXPECT_EQ(display.overall.total, 5);
  EXPECT_EQ(fixture.CertVersion(), "1.0.0.0");
  EXPECT_EQ(fixture.DisplayVersion(), "1.0.0.0");
  EXPECT_FALSE(tavlen::test::Exists(fixture.DownloadDir()));
  EXPECT_TRUE(Has(fixture.work.Log(), kEndLine));
}

TEST_F(UpdateRun, EndsWithoutInstalling) {
  const struct {
    const char* name;
    bool result;
    const char* last;   // the last status line
    int position;       // the overall bar at the end
    bool cleanedUp;     // download folder deleted and end line written
  } cases[] = {
      {"up to date", true, "你使用的已经是最新版本", 2, true},
      {"no packages", true, "分析更新信息", 2, true},
      {"malformed", false, "更新信息不对，请与Oravex公司联系", 10, true},
      {"not a manifest", false, "更新信息不对，请与Oravex公司联系", 10, true},
      {"empty", true, "没有任何更新信息。", 10, false},
      {"error page", false, "无法获取更新信息。", 10, false},
      {"refused", false, "无法获取更新信息。", 10, false},
      {"cut short", false, "无法获取更新信息。", 10, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    display.Reset();
    RunFixture fixture("1.5.0.0");
    const std::string name = c.name;
    std::string url;
    if (name == "up to date") url = fixture.ServeManifest("1.5.0.0", {{"p1.txt", "one"}});
    if (name == "no packages") url = fixture.ServeManifest("2.0.0.0", {});
    if (name == "malformed") url = fixture.ServeText("update.xml", "<updateinfo version=\"2.0.0.0\"><package>");
    if (name == "not a manifest") url = fixture.ServeText("update.xml", "<html><body>hello</body></html>");
    if (name == "empty") url = fixture.ServeText("update.xml", "");
    if (name == "error page") url = fixture.servers.Nginx("/no-such-manifest.xml");
    if (name == "refused") url = tavlen::test::LoopbackServers::Refused("/update.xml");
    if (name == "cut short") url = fixture.servers.Fault("/drop/5000/100");

    EXPECT_EQ(Run(fixture, url), c.result);
    ASSERT_FALSE(display.statuses.empty());
    EXPECT_EQ(display.statuses.back(), c.last);
    EXPECT_EQ(display.overall.position, c.position);
    EXPECT_FALSE(display.Saw("开始更新"));
    EXPECT_EQ(fixture.CertVersion(), "1.5.0.0");
    EXPECT_FALSE(tavlen::test::Exists(fixture.AppFile("p1.txt")));
    EXPECT_EQ(tavlen::test::Exists(fixture.DownloadDir()), !c.cleanedUp);
    EXPECT_EQ(Has(fixture.work.Log(), kEndLine), c.cleanedUp);
  }
}

}  // namespace
