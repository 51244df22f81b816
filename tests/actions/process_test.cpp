// The process and synchronisation calls the launcher relies on, exercised
// with real child processes: the same expectations hold on Windows (under
// wine) and for the Linux implementation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/actions/action_test_support.h"
#include "tests/support/temp_folder.h"

namespace tavlen::test {
namespace {

struct Started {
  BOOL ok = FALSE;
  DWORD error = 0;
  PROCESS_INFORMATION info{};
};

Started Start(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  Started started;
  started.ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                              &startup, &started.info);
  started.error = GetLastError();
  return started;
}

// Waits for the child and returns its exit code.
DWORD Finish(Started& started) {
  EXPECT_EQ(WaitForSingleObject(started.info.hProcess, INFINITE), WAIT_OBJECT_0);
  DWORD code = 12345;
  EXPECT_TRUE(GetExitCodeProcess(started.info.hProcess, &code));
  CloseHandle(started.info.hThread);
  CloseHandle(started.info.hProcess);
  return code;
}

TEST(ProcessCalls, ManualAndAutoResetEvents) {
  HANDLE manual = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE automatic = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  ASSERT_NE(manual, nullptr);
  ASSERT_NE(automatic, nullptr);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(SetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0) << "a manual-reset event stays signalled";
  EXPECT_TRUE(ResetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);

  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT) << "an auto-reset event is taken by one wait";

  HANDLE both[2] = {manual, automatic};
  SetEvent(automatic);
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_TIMEOUT);
  CloseHandle(manual);
  CloseHandle(automatic);
}

struct Relay {
  HANDLE go;
  HANDLE done;
};

DWORD WINAPI RelayThread(LPVOID parameter) {
  auto* relay = static_cast<Relay*>(parameter);
  WaitForSingleObject(relay->go, INFINITE);
  SetEvent(relay->done);
  return 42;
}

TEST(ProcessCalls, ThreadRunsAndEndsWithItsExitCode) {
  Relay relay{CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  HANDLE thread = CreateThread(nullptr, 0, RelayThread, &relay, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(relay.done, 50), WAIT_TIMEOUT) << "the thread waits for its go";
  SetEvent(relay.go);
  HANDLE waits[2] = {relay.done, thread};
  EXPECT_EQ(WaitForMultipleObjects(2, waits, TRUE, INFINITE), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  CloseHandle(thread);
  CloseHandle(relay.go);
  CloseHandle(relay.done);
}

TEST(ProcessCalls, ChildGetsArgumentsShowCommandAndExitCode) {
  TempFolder temp;
  const std::string marker = temp / "args.txt";
  Started child = Start("\"" + ChildProgram(false) + "\" \"" + marker +
                        "\" \"two words\" quote\\\"inside back\\\\slash --exit=7");
  ASSERT_TRUE(child.ok) << "error " << child.error;
  EXPECT_EQ(Finish(child), 7u);
  const std::vector<std::string> expected = {"show=1,0", marker, "two words", "quote\"inside", "back\\\\slash",
                                             "--exit=7"};
  EXPECT_EQ(ReadLines(marker), expected);
}

TEST(ProcessCalls, ProgramFoundFromUnquotedFirstToken) {
  TempFolder temp;
  const std::string marker = temp / "plain.txt";
  // No quotes, no extension: the first token is the program, ".exe" is
  // appended on Windows.
  Started child = Start(ChildProgram(false) + " " + marker);
  ASSERT_TRUE(child.ok) << "error " << child.error;
  EXPECT_EQ(Finish(child), 0u);
  EXPECT_TRUE(Exists(marker));
}

TEST(ProcessCalls, MissingProgramIsRefused) {
  TempFolder temp;
  Started bare = Start("tavlen_no_such_program_here argument");
  EXPECT_FALSE(bare.ok);
  EXPECT_EQ(bare.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  Started inFolder = Start("\"" + temp.Path() + "\\missing.exe\"");
  EXPECT_FALSE(inFolder.ok);
  EXPECT_EQ(inFolder.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(inFolder.info.hProcess, nullptr);
}

TEST(ProcessCalls, WaitSeesEventOrProcessAndTerminateSetsExitCode) {
  TempFolder temp;
  Started child = Start("\"" + ChildProgram(false) + "\" \"" + (temp / "never.txt") + "\" --wait-for=" +
                        (temp / "release"));
  ASSERT_TRUE(child.ok) << "error " << child.error;
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE handles[2] = {event, child.info.hProcess};
  EXPECT_EQ(WaitForMultipleObjects(2, handles, FALSE, 0), WAIT_TIMEOUT);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(child.info.hProcess, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  SetEvent(event);
  EXPECT_EQ(WaitForMultipleObjects(2, handles, FALSE, INFINITE), WAIT_OBJECT_0);
  ResetEvent(event);
  EXPECT_TRUE(TerminateProcess(child.info.hProcess, 9));
  EXPECT_EQ(WaitForMultipleObjects(2, handles, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(Finish(child), 9u);
  EXPECT_FALSE(Exists(temp / "never.txt"));
  CloseHandle(event);
}

}  // namespace
}  // namespace tavlen::test
