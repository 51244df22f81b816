// The "run" and "open" actions with real child processes: waiting, async
// starts, failures with and without "skiperr".
#include <gtest/gtest.h>

#include <string>

#include "actions/open_action.h"
#include "actions/run_action.h"
#include "platform/win32.h"
#include "tests/actions/action_test_support.h"
#include "tests/support/temp_folder.h"

namespace tavlen::test {
namespace {

RunAction MakeRun(const std::string& cmd, const std::string& args, const std::string& async,
                  const std::string& skiperr = "0") {
  RunAction run;
  run.SetAttribute("cmd", cmd);
  run.SetAttribute("args", args);
  run.SetAttribute("async", async);
  run.SetAttribute("skiperr", skiperr);
  return run;
}

TEST(RunAction, WaitsUntilTheProgramHasEnded) {
  TempFolder temp;
  const std::string marker = temp / "waited.txt";
  // The child writes its marker only after a pause: it exists when Execute
  // returns only because Execute waited for the process to end.
  RunAction run = MakeRun(ChildProgram(false), marker + " --sleep=400 --exit=3", "");
  ASSERT_TRUE(run.Waits());
  EXPECT_TRUE(run.Execute());
  ASSERT_TRUE(Exists(marker));
  EXPECT_EQ(ReadLines(marker).front(), "show=1,0") << "started hidden";
}

TEST(RunAction, CommandLineIsCmdBlankArgs) {
  TempFolder temp;
  const std::string marker = temp / "noargs.txt";
  RunAction run = MakeRun(ChildProgram(false) + " " + marker, "", "false");
  EXPECT_EQ(run.CommandLine(), ChildProgram(false) + " " + marker + " ");
  EXPECT_TRUE(run.Execute());
  EXPECT_EQ(ReadLines(marker).size(), 2u) << "the trailing blank adds no argument";
}

TEST(RunAction, AsyncReturnsWhileTheProgramRuns) {
  TempFolder temp;
  const std::string marker = temp / "async.txt";
  const std::string release = temp / "release";
  RunAction run = MakeRun(ChildProgram(false), marker + " --wait-for=" + release, "TRUE");
  ASSERT_FALSE(run.Waits());
  EXPECT_TRUE(run.Execute());
  EXPECT_FALSE(Exists(marker)) << "the child is still waiting for its release";
  ASSERT_TRUE(WriteFileBytes(release, "go"));
  EXPECT_TRUE(WaitForFile(marker));
}

TEST(RunAction, AsyncValuesOtherThanTrueWait) {
  for (const char* value : {"yes", "false", "", "1"}) {
    EXPECT_TRUE(MakeRun("x", "", value).Waits()) << value;
  }
  EXPECT_FALSE(MakeRun("x", "", "tRuE").Waits());
}

TEST(RunAction, MissingProgramFailsOnlyWhenNotWaiting) {
  struct Case {
    const char* async;
    const char* skiperr;
    bool result;
  };
  const Case cases[] = {
      {"true", "0", false},  // the start failure is seen and stops the package
      {"true", "1", true},   // ... unless skiperr
      {"false", "0", true},  // a waited start does not report its failure
  };
  for (const Case& c : cases) {
    RunAction run = MakeRun("tavlen_no_such_program_here", "", c.async, c.skiperr);
    EXPECT_EQ(run.Execute(), c.result) << "async=" << c.async << " skiperr=" << c.skiperr;
  }
}

// The child started without arguments writes "tavlen_child.ran" into the
// current folder, so the open tests run in a folder of their own.
class OpenActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    m_previous = previous;
    ASSERT_TRUE(SetCurrentDirectoryA(m_temp.Path().c_str()));
  }
  void TearDown() override { SetCurrentDirectoryA(m_previous.c_str()); }

  OpenAction MakeOpen(const std::string& file, const std::string& async, const std::string& skiperr = "0") {
    OpenAction open;
    open.SetAttribute("file", file);
    open.SetAttribute("async", async);
    open.SetAttribute("skiperr", skiperr);
    return open;
  }

  TempFolder m_temp;
  std::string m_previous;
};

TEST_F(OpenActionTest, StartsAnExistingProgramAndWaits) {
  OpenAction open = MakeOpen(ChildProgram(true), "");
  EXPECT_TRUE(open.Execute());
  EXPECT_TRUE(Exists(m_temp / "tavlen_child.ran"));
}

TEST_F(OpenActionTest, MissingFileStartsNothing) {
  EXPECT_FALSE(MakeOpen(m_temp / "missing.exe", "").Execute());
  EXPECT_TRUE(MakeOpen(m_temp / "missing.exe", "", "true").Execute());
}

TEST_F(OpenActionTest, FolderExistsButCannotBeStarted) {
  CreateDirectoryA((m_temp / "folder").c_str(), nullptr);
  EXPECT_TRUE(MakeOpen(m_temp / "folder", "").Execute()) << "a waited start does not report its failure";
  EXPECT_FALSE(MakeOpen(m_temp / "folder", "true").Execute());
  EXPECT_TRUE(MakeOpen(m_temp / "folder", "true", "1").Execute());
}

}  // namespace
}  // namespace tavlen::test
