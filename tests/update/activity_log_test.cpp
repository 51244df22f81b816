#include <gtest/gtest.h>

#include <string>

#include "app/display.h"
#include "platform/win32.h"
#include "tests/support/temp_folder.h"
#include "update/activity_log.h"

namespace {

using tavlen::test::ReadFileBytes;
using tavlen::test::TempFolder;

class StatusRecorder final : public ProgressDisplay {
 public:
  void SetStatusText(const std::string& text) override { status = text; }
  void SetFileProgress(int32_t, int32_t) override {}
  void SetTotalProgress(int32_t, int32_t) override {}
  void SetNewestVersion(const std::string&) override {}
  int ShowMessageBox(const std::string&, unsigned int) override { return IDOK; }
  std::string status;
};

// Runs the test body with the process's current folder set to a fresh temporary
// folder, since the log is "updater.log" in the current folder.
class ActivityLogTest : public testing::Test {
 protected:
  void SetUp() override {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    previous_ = previous;
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
    SetMainWindow(&recorder_);
  }
  void TearDown() override {
    SetMainWindow(nullptr);
    SetCurrentDirectoryA(previous_.c_str());
  }
  std::string LogBytes() {
    std::string bytes;
    ReadFileBytes(folder_ / "updater.log", bytes);
    return bytes;
  }
  TempFolder folder_;
  std::string previous_;
  StatusRecorder recorder_;
};

TEST_F(ActivityLogTest, StoresEachRecordWithCrLfAndEveryInnerLfAsCrLf) {
  LogActivity("first", true);
  LogActivity("two\nlines", true);
  LogActivity("end\r\n", false);
  EXPECT_EQ(LogBytes(), "first\r\ntwo\r\nlines\r\nend\r\r\n\r\n");
}

TEST_F(ActivityLogTest, KeepsCodePage936Bytes) {
  LogActivity("下载文件出错", true);
  EXPECT_EQ(LogBytes(), "\xCF\xC2\xD4\xD8\xCE\xC4\xBC\xFE\xB3\xF6\xB4\xED\r\n");
}

TEST_F(ActivityLogTest, ShowsOnTheStatusLineOnlyWhenAsked) {
  LogActivity("shown", true);
  LogActivity("log only", false);
  EXPECT_EQ(recorder_.status, "shown");
}

TEST_F(ActivityLogTest, AppendsToAnExistingLog) {
  ASSERT_TRUE(tavlen::test::WriteFileBytes(folder_ / "updater.log", "old\r\n"));
  LogActivity("new", true);
  EXPECT_EQ(LogBytes(), "old\r\nnew\r\n");
}

TEST_F(ActivityLogTest, ALogThatCannotBeOpenedStillUpdatesTheStatusLine) {
  if (tavlen::test::RunningUnderWine()) GTEST_SKIP() << "root ignores the read-only attribute under wine";
  ASSERT_TRUE(tavlen::test::WriteFileBytes(folder_ / "updater.log", "kept\r\n"));
  ASSERT_TRUE(SetFileAttributesA((folder_ / "updater.log").c_str(), FILE_ATTRIBUTE_READONLY));
  LogActivity("not written", true);
  EXPECT_EQ(recorder_.status, "not written");
  EXPECT_EQ(LogBytes(), "kept\r\n");
  SetFileAttributesA((folder_ / "updater.log").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
