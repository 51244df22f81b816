// The "copy", "mkdir" and "remove" actions on a real file system.
#include <gtest/gtest.h>

#include <string>

#include "actions/copy_action.h"
#include "actions/mkdir_action.h"
#include "actions/remove_action.h"
#include "platform/win32.h"
#include "tests/actions/action_test_support.h"
#include "tests/support/temp_folder.h"

namespace tavlen::test {
namespace {

std::string Content(const std::string& path) {
  std::string bytes;
  return ReadFileBytes(path, bytes) ? bytes : "<unreadable>";
}

// Builds an action of the given type with the attributes; only the ones
// given are set, as a manifest element that carries only those would.
template <typename Action>
Action Make(std::initializer_list<std::pair<const char*, std::string>> attributes) {
  Action action;
  for (const auto& [name, value] : attributes) action.SetAttribute(name, value);
  return action;
}

class FileActionTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = m_temp / name;
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return path;
  }
  std::string Folder(const std::string& name) {
    const std::string path = m_temp / name;
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    return path;
  }

  TempFolder m_temp;
  StatusRecorder m_display;
};

TEST_F(FileActionTest, CopyIntoAnExistingFolderKeepsTheSourceName) {
  const std::string from = Write("tool.dll", "tool");
  const std::string folder = Folder("target");
  EXPECT_TRUE(Make<CopyAction>({{"from", from}, {"to", folder}, {"move", "false"}}).Execute());
  EXPECT_EQ(Content(folder + "\\tool.dll"), "tool");
  EXPECT_TRUE(Exists(from));
}

TEST_F(FileActionTest, CopyOntoAnExistingFileByMoveAndOverwrite) {
  struct Case {
    const char* move;       // nullptr: attribute absent
    const char* overwrite;  // nullptr: attribute absent
    bool replaced;
  };
  const Case cases[] = {
      {nullptr, nullptr, false}, {nullptr, "true", false}, {"true", "false", false}, {"TRUE", "true", false},
      {"false", "false", false}, {"false", "true", true},  {"FALSE", nullptr, true},  {"false", "yes", true},
  };
  for (const Case& c : cases) {
    const std::string label = std::string("move=") + (c.move ? c.move : "-") + " overwrite=" +
                              (c.overwrite ? c.overwrite : "-");
    const std::string from = Write("new.txt", "new");
    const std::string to = Write("old.txt", "old");
    CopyAction copy = Make<CopyAction>({{"from", from}, {"to", to}});
    if (c.move) copy.SetAttribute("move", c.move);
    if (c.overwrite) copy.SetAttribute("overwrite", c.overwrite);
    EXPECT_EQ(copy.Execute(), c.replaced) << label;
    EXPECT_EQ(Content(to), c.replaced ? "new" : "old") << label;
    EXPECT_TRUE(Exists(from)) << label << ": a copy keeps its source, a failed move too";
  }
}

TEST_F(FileActionTest, CopyMovesByDefaultAndThenFindsNoSource) {
  const std::string from = Write("pkg.bin", "data");
  CopyAction copy = Make<CopyAction>({{"from", from}, {"to", m_temp / "moved.bin"}});
  EXPECT_TRUE(copy.Execute());
  EXPECT_FALSE(Exists(from));
  EXPECT_EQ(Content(m_temp / "moved.bin"), "data");
  m_display.status.clear();
  EXPECT_FALSE(Make<CopyAction>({{"from", from}, {"to", m_temp / "again.bin"}}).Execute());
  ASSERT_EQ(m_display.status.size(), 1u);
  EXPECT_EQ(m_display.status[0], "文件没有发现：" + from);
  EXPECT_TRUE(Make<CopyAction>({{"from", from}, {"to", m_temp / "again.bin"}, {"skiperr", "true"}}).Execute());
}

TEST_F(FileActionTest, CopyOntoTheAgentWritesTheReplacementPath) {
  const std::string app = Folder("App");
  ASSERT_TRUE(WriteFileBytes(app + "\\Agent.exe", "running"));
  FakeModulePath agent(app + "\\Agent.exe");
  const std::string from = Write("Agent.exe", "new agent");
  // Both as the folder plus the source name and as a path in another case.
  EXPECT_TRUE(Make<CopyAction>({{"from", from}, {"to", app}, {"move", "false"}}).Execute());
  EXPECT_EQ(Content(app + "\\_Agent.exe"), "new agent");
  DeleteFileA((app + "\\_Agent.exe").c_str());
  EXPECT_TRUE(Make<CopyAction>({{"from", from}, {"to", m_temp / "APP\\AGENT.EXE"}}).Execute());
  EXPECT_EQ(Content(app + "\\_Agent.exe"), "new agent");
  EXPECT_EQ(Content(app + "\\Agent.exe"), "running");
}

TEST_F(FileActionTest, CopyIntoAMissingFolderFailsWithoutMessage) {
  const std::string from = Write("a.txt", "a");
  EXPECT_FALSE(Make<CopyAction>({{"from", from}, {"to", m_temp / "missing\\a.txt"}, {"move", "false"}}).Execute());
  EXPECT_TRUE(m_display.status.empty());
}

TEST_F(FileActionTest, MkdirCreatesMissingLevels) {
  const struct {
    std::string dir;
    std::string check;
  } cases[] = {
      {m_temp / "one\\two\\three", m_temp / "one\\two\\three"},
      {m_temp / "a\\b\\", m_temp / "a\\b"},  // trailing backslash, parent missing as well
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(Make<MkdirAction>({{"dir", c.dir}}).Execute()) << c.dir;
    EXPECT_EQ(GetFileAttributesA(c.check.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY))
        << c.dir;
  }
}

TEST_F(FileActionTest, MkdirOfAnExistingEntryDoesNothing) {
  const std::string file = Write("file", "f");
  EXPECT_TRUE(Make<MkdirAction>({{"dir", file}}).Execute());
  EXPECT_EQ(Content(file), "f");
  EXPECT_TRUE(Make<MkdirAction>({{"dir", m_temp.Path()}}).Execute());
}

TEST_F(FileActionTest, MkdirBelowAFileFails) {
  const std::string file = Write("plain", "f");
  EXPECT_FALSE(Make<MkdirAction>({{"dir", file + "\\sub\\deeper"}}).Execute());
  EXPECT_TRUE(Make<MkdirAction>({{"dir", file + "\\sub\\deeper"}, {"skiperr", "1"}}).Execute());
  EXPECT_FALSE(Make<MkdirAction>({{"dir", m_temp / std::string(300, 'x')}}).Execute()) << "too long";
}

TEST_F(FileActionTest, RemoveFoldersWithReadOnlyFilesAndSubFolders) {
  const std::string empty = Folder("empty");
  EXPECT_TRUE(Make<RemoveAction>({{"path", empty}}).Execute());
  EXPECT_FALSE(Exists(empty));

  const std::string tree = Folder("tree");
  Folder("tree\\sub");
  Folder("tree\\sub\\deeper");
  Write("tree\\top.txt", "t");
  Write("tree\\sub\\deeper\\ro.txt", "r");
  SetFileAttributesA((tree + "\\sub\\deeper\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA((tree + "\\top.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(Make<RemoveAction>({{"path", tree}}).Execute());
  EXPECT_FALSE(Exists(tree));

  EXPECT_TRUE(Make<RemoveAction>({{"path", m_temp / "never.txt"}}).Execute());
}

TEST_F(FileActionTest, RemoveFolderWithLockedFile) {
  const std::string tree = Folder("locked");
  Folder("locked\\sub");
  const std::string lockedDeep = Write("locked\\sub\\in_use.dll", "x");
  Write("locked\\sub\\free.txt", "y");
  HANDLE hold = CreateFileA(lockedDeep.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  // A locked file in a sub-folder: the action still succeeds, what holds it stays.
  EXPECT_TRUE(Make<RemoveAction>({{"path", tree}}).Execute());
  EXPECT_TRUE(Exists(lockedDeep));
  EXPECT_FALSE(Exists(tree + "\\sub\\free.txt"));
  CloseHandle(hold);

  const std::string flat = Folder("flat");
  const std::string lockedTop = Write("flat\\in_use.dll", "x");
  hold = CreateFileA(lockedTop.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Make<RemoveAction>({{"path", flat}}).Execute());
  EXPECT_TRUE(Make<RemoveAction>({{"path", flat}, {"skiperr", "1"}}).Execute());
  EXPECT_TRUE(Exists(lockedTop));
  CloseHandle(hold);
}

TEST_F(FileActionTest, RemoveOfSingleFiles) {
  const std::string plain = Write("plain.txt", "p");
  EXPECT_TRUE(Make<RemoveAction>({{"path", plain}}).Execute());
  EXPECT_FALSE(Exists(plain));

  const std::string readOnly = Write("ro.txt", "r");
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(Make<RemoveAction>({{"path", readOnly}}).Execute());
  EXPECT_TRUE(Exists(readOnly));

  const std::string agentPath = Write("Agent.exe", "running");
  FakeModulePath agent(agentPath);
  EXPECT_TRUE(Make<RemoveAction>({{"path", m_temp / "AGENT.exe"}}).Execute());
  EXPECT_TRUE(Exists(agentPath));
}

TEST_F(FileActionTest, RemoveSeesOnlyWhatAFindFirstLookupSees) {
  const std::string folder = Folder("kept");
  Write("kept\\a.txt", "a");
  EXPECT_TRUE(Make<RemoveAction>({{"path", folder + "\\"}}).Execute()) << "a trailing backslash is not found";
  EXPECT_TRUE(Exists(folder + "\\a.txt"));
  EXPECT_TRUE(Make<RemoveAction>({{"path", folder + "\\*.dll"}}).Execute()) << "a pattern that matches nothing";
  EXPECT_FALSE(Make<RemoveAction>({{"path", folder + "\\*.txt"}}).Execute()) << "the pattern itself is no file";
  EXPECT_TRUE(Exists(folder + "\\a.txt"));
}

}  // namespace
}  // namespace tavlen::test
