// Download into files and texts from the loopback servers: whole bodies,
// every way a body can go wrong, the progress it reports and what it leaves.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include <string>

#include "platform/win32.h"
#include "tests/servers/loopback_servers.h"
#include "tests/servers/recording_display.h"
#include "tests/servers/work_folder.h"
#include "transfer/downloader.h"

namespace {

using tavlen::test::LoopbackServers;
using tavlen::test::PatternBytes;
using tavlen::test::ReadFileBytes;

const char kDownloadError[] = "下载文件出错";

class Downloader : public testing::Test {
 protected:
  void SetUp() override {
    if (!servers.Available()) GTEST_SKIP() << "run through ctest: the loopback servers are not running";
  }

  // Downloads url into the file name below the work folder.
  bool ToFile(const std::string& url, const std::string& name, std::string* body = nullptr) {
    std::string address = url;
    std::string target = work / name;
    const bool ok = Download(address, target, true, true);
    if (body != nullptr) ReadFileBytes(target, *body);
    return ok;
  }

  LoopbackServers servers;
  tavlen::test::WorkFolder work;
  tavlen::test::RecordingDisplay display;
};

TEST_F(Downloader, FileModeOutcomes) {
  const struct {
    const char* path;
    bool ok;
    std::size_t maxBytes;  // the file holds a prefix of the pattern, at most this long
    const char* logged;
  } cases[] = {
      {"/data/100000", true, 100000, nullptr},
      {"/data/0", true, 0, nullptr},
      {"/nolength/20000", true, 20000, nullptr},
      {"/redirect/data/3000", true, 3000, nullptr},
      {"/short/100000/30000", false, 30000, kDownloadError},
      {"/drop/100000/30000", false, 30000, kDownloadError},
      {"/chunkdrop/30000", false, 30000, kDownloadError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    display.statuses.clear();
    std::string body;
    EXPECT_EQ(ToFile(servers.Fault(c.path), "out.bin", &body), c.ok);
    if (c.ok) {
      EXPECT_EQ(body, PatternBytes(c.maxBytes));
      EXPECT_TRUE(display.statuses.empty());
    } else {
      EXPECT_LE(body.size(), c.maxBytes);
      EXPECT_EQ(body, PatternBytes(body.size())) << "what arrived stays in the file";
      EXPECT_EQ(display.statuses, std::vector<std::string>{c.logged});
    }
  }
  EXPECT_NE(work.Log().find("下载文件出错\r\n"), std::string::npos);
}

TEST_F(Downloader, ErrorStatusFailsTheDownload) {
  std::string body = "old";
  EXPECT_FALSE(ToFile(servers.Fault("/notfound"), "page.bin", &body));
  EXPECT_EQ(body, "") << "the error page is not taken for the file";
  EXPECT_EQ(display.statuses, std::vector<std::string>{kDownloadError});

  std::string url = servers.Fault("/notfound");
  std::string text;
  EXPECT_FALSE(Download(url, text, false, false));
  EXPECT_EQ(text, "");
}

TEST_F(Downloader, RefusedConnectionLeavesAnEmptyFile) {
  std::string body = "x";
  EXPECT_FALSE(ToFile(LoopbackServers::Refused("/a.zip"), "a.zip", &body));
  EXPECT_TRUE(tavlen::test::Exists(work / "a.zip"));
  EXPECT_EQ(body, "");
  EXPECT_EQ(display.statuses, std::vector<std::string>{kDownloadError});
}

#ifndef _WIN32
// Linux only: the receive timeout is this layer's own, shortened here; the
// WinINet under wine would wait its own, much longer, default.
TEST_F(Downloader, StalledServerTimesOut) {
  setenv("TAVLEN_INTERNET_TIMEOUT_MS", "1500", 1);
  std::string body;
  EXPECT_FALSE(ToFile(servers.Fault("/stall/100000/5000"), "stall.bin", &body));
  unsetenv("TAVLEN_INTERNET_TIMEOUT_MS");
  EXPECT_EQ(body, PatternBytes(5000));
  EXPECT_EQ(display.statuses, std::vector<std::string>{kDownloadError});
}

// Linux only: a file size limit stands in for a disk that fills up after
// 50,000 bytes.
TEST_F(Downloader, FullDiskReportsEveryLostChunkAndReadsToTheEnd) {
  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  rlimit limit = previous;
  limit.rlim_cur = 50000;
  signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  std::string body;
  const bool ok = ToFile(servers.Fault("/data/100000"), "full.bin", &body);
  setrlimit(RLIMIT_FSIZE, &previous);
  signal(SIGXFSZ, SIG_DFL);

  EXPECT_FALSE(ok);
  EXPECT_EQ(body, PatternBytes(50000));
  // One line for every chunk (at most 4,096 bytes) that did not fit.
  const int lost = display.Count("保存下载文件出错");
  EXPECT_GE(lost, 50000 / 4096);
  EXPECT_EQ(lost, static_cast<int>(display.statuses.size()));
  EXPECT_EQ(display.fileCalls.back().position, 100000) << "the body is still read to its end";
}
#endif

TEST_F(Downloader, ProgressFollowsTheBytes) {
  ASSERT_TRUE(ToFile(servers.Fault("/data/100000"), "p.bin"));
  ASSERT_GE(display.fileCalls.size(), 2u);
  EXPECT_EQ(display.fileCalls.front().position, 0);
  EXPECT_EQ(display.fileCalls.front().total, 100000);
  int32_t last = 0;
  for (std::size_t i = 1; i < display.fileCalls.size(); ++i) {
    EXPECT_EQ(display.fileCalls[i].total, -1);
    EXPECT_GT(display.fileCalls[i].position, last);
    EXPECT_LE(display.fileCalls[i].position - last, 4096);
    last = display.fileCalls[i].position;
  }
  EXPECT_EQ(last, 100000);

  // Without a Content-Length the range is left alone and the bar is filled
  // once the body is complete.
  display.fileCalls.clear();
  ASSERT_TRUE(ToFile(servers.Fault("/nolength/10000"), "n.bin"));
  EXPECT_EQ(display.fileCalls.front().total, 0);
  EXPECT_EQ(display.fileCalls.back().position, 10000);
  EXPECT_EQ(display.fileCalls.back().total, 10000);

  // An empty body: the range stays, the position is 0.
  display.fileCalls.clear();
  ASSERT_TRUE(ToFile(servers.Fault("/data/0"), "e.bin"));
  ASSERT_EQ(display.fileCalls.size(), 1u);
  EXPECT_EQ(display.fileCalls[0].position, 0);
  EXPECT_EQ(display.fileCalls[0].total, 0);
}

TEST_F(Downloader, TargetFolders) {
  // A missing folder and parent are created; an existing file is truncated.
  ASSERT_TRUE(tavlen::test::WriteFileBytes(work / "old.bin", std::string(50000, 'z')));
  std::string body;
  EXPECT_TRUE(ToFile(servers.Fault("/data/10"), "old.bin", &body));
  EXPECT_EQ(body, PatternBytes(10));
  EXPECT_TRUE(ToFile(servers.Fault("/data/10"), "a\\b\\c.bin", &body));
  EXPECT_EQ(body, PatternBytes(10));
  EXPECT_TRUE(ToFile(servers.Fault("/data/10"), "d\\e\\f\\g.bin", &body));

  // A target that cannot be created: no request is made.
  display.statuses.clear();
  ASSERT_TRUE(CreateDirectoryA((work / "folder").c_str(), nullptr));
  EXPECT_FALSE(ToFile(servers.Fault("/data/10"), "folder", &body));
  EXPECT_EQ(display.statuses, std::vector<std::string>{"无法保存下载的文件"});

  // A path beyond MAX_PATH is refused, never cut.
  display.statuses.clear();
  std::string address = servers.Fault("/data/10");
  std::string target = work / std::string(300, 'x');
  EXPECT_FALSE(Download(address, target, true, false));
  EXPECT_EQ(display.statuses, std::vector<std::string>{"无法保存下载的文件"});
}

TEST_F(Downloader, StringMode) {
  std::string url = servers.Fault("/data/70000");
  std::string text = "previous";
  EXPECT_TRUE(Download(url, text, false, false));
  EXPECT_EQ(text, PatternBytes(70000)) << "every byte is kept, zero bytes included";
  EXPECT_TRUE(display.fileCalls.empty()) << "no progress without showProgress";

  url = servers.Fault("/zero");
  EXPECT_TRUE(Download(url, text, false, true));
  EXPECT_EQ(text, std::string("ab\0cd", 5));

  url = servers.Fault("/drop/100000/30000");
  EXPECT_FALSE(Download(url, text, false, true));
  EXPECT_EQ(text, PatternBytes(text.size()));
}

TEST_F(Downloader, UrlIsReplacedByItsCanonicalForm) {
  std::string url = servers.Fault("/data/./x/../10");
  std::string text;
  EXPECT_TRUE(Download(url, text, false, false));
  EXPECT_EQ(url, servers.Fault("/data/10"));
  EXPECT_EQ(text, PatternBytes(10));

  url = LoopbackServers::Refused("/a b.zip");
  EXPECT_FALSE(Download(url, text, false, false));
  EXPECT_EQ(url, LoopbackServers::Refused("/a%20b.zip")) << "also after a failure";

  // Beyond the 1,024 bytes of the design nothing is fetched.
  url = servers.Fault("/data/10?" + std::string(1100, 'q'));
  display.statuses.clear();
  EXPECT_FALSE(Download(url, text, false, false));
  EXPECT_EQ(display.statuses, std::vector<std::string>{kDownloadError});
}

TEST_F(Downloader, NginxFileMatchesByteForByte) {
  const std::string bytes = PatternBytes(1 << 20);
  ASSERT_TRUE(tavlen::test::WriteFileBytes(servers.WebFile("downloader-test.bin"), bytes));
  std::string body;
  EXPECT_TRUE(ToFile(servers.Nginx("/downloader-test.bin"), "n.bin", &body));
  EXPECT_EQ(body, bytes);
  DeleteFileA(servers.WebFile("downloader-test.bin").c_str());
}

}  // namespace
