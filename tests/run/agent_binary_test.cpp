// Whole runs of the agent binary in the console front end ("-auto",
// TAVLEN_UI=console) over this program's prefix: the exit status, the log,
// the registry and the files it leaves.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/run/run_fixture.h"
#include "tests/support/temp_folder.h"
#include "update/install_context.h"

namespace {

using tavlen::test::PackageSpec;
using tavlen::test::RunFixture;

struct AgentResult {
  int status = -1;
  std::string output;
  std::string log;
};

AgentResult RunAgent(RunFixture& fixture, bool offline) {
  const std::string folder = tavlen::test::UnixPathOf(fixture.work.Path());
  const std::string command = "cd '" + folder + "' && TAVLEN_UI=console timeout 120 " +
                              (offline ? "unshare -rn " : "") + "'" TAVLEN_UPDATER_PATH "' -auto -p=" +
                              fixture.Partner() + " </dev/null >agent.out 2>&1";
  AgentResult result;
  const int raw = std::system(command.c_str());
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  tavlen::test::ReadFileBytes(fixture.work / "agent.out", result.output);
  result.log = fixture.work.Log();
  return result;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class AgentBinary : public testing::Test {
 protected:
  void SetUp() override {
    if (!probe.Available()) GTEST_SKIP() << "run through ctest: the loopback servers are not running";
  }
  tavlen::test::LoopbackServers probe;
};

TEST_F(AgentBinary, RunsThatInstallNothing) {
  const struct {
    const char* name;
    bool succeeds;
    const char* logged;
  } cases[] = {
      {"up to date", true, "你使用的已经是最新版本"},
      {"offline", false, "没有网络连接"},
      {"unreachable", false, "无法获取更新信息。"},
      {"malformed", false, "更新信息不对，请与Oravex公司联系"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunFixture fixture("1.5.0.0");
    const std::string name = c.name;
    if (name == "up to date" || name == "offline") fixture.SetUpdateUrl(fixture.ServeManifest("1.5.0.0", {}));
    if (name == "unreachable") fixture.SetUpdateUrl(tavlen::test::LoopbackServers::Refused("/update.xml"));
    if (name == "malformed") fixture.SetUpdateUrl(fixture.ServeText("update.xml", "<updateinfo version="));

    const AgentResult result = RunAgent(fixture, name == "offline");
    EXPECT_EQ(result.status == 0, c.succeeds) << result.output;
    EXPECT_TRUE(Has(result.log, std::string(c.logged) + "\r\n")) << result.log;
    EXPECT_EQ(fixture.CertVersion(), "1.5.0.0");
  }
}

TEST_F(AgentBinary, ThreePackages) {
  for (const bool secondFails : {true, false}) {
    SCOPED_TRACE(secondFails ? "second fails" : "all succeed");
    RunFixture fixture("1.0.0.0");
    fixture.SetUpdateUrl(fixture.ServeManifest(
        "2.0.0.1", {{"p1.txt", "one"}, {"p2.txt", "two", secondFails}, {"p3.txt", "three"}}));
    const AgentResult result = RunAgent(fixture, false);

    EXPECT_EQ(result.status == 0, !secondFails) << result.output;
    EXPECT_TRUE(tavlen::test::Exists(fixture.AppFile("p1.txt")));
    EXPECT_EQ(tavlen::test::Exists(fixture.AppFile("p3.txt")), !secondFails);
    EXPECT_FALSE(tavlen::test::Exists(fixture.DownloadDir()));
    EXPECT_EQ(fixture.CertVersion(), secondFails ? "1.0.0.0" : "2.0.0.1");
    EXPECT_EQ(fixture.DisplayVersion(), secondFails ? "1.0.0.0" : "2.0.0.1");
    EXPECT_TRUE(Has(result.log, secondFails ? "更新失败！请重试一次。\r\n" : "更新完毕\r\n")) << result.log;
    // The message box of the failed package is printed, in UTF-8.
    EXPECT_EQ(Has(result.output, "\xE6\x96\x87\xE4\xBB\xB6\xE6\x97\xA0\xE6\xB3\x95\xE4\xB8\x8B\xE8\xBD\xBD"),
              secondFails)
        << result.output;
  }
}

}  // namespace
