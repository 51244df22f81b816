// The "shortcut" action on real special folders and real .lnk files: on
// Linux over the prefix, on Windows (wine) through the shell itself.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <atomic>
#include <string>

#include "actions/core/action_factory.h"
#include "actions/shell_link.h"
#include "actions/shortcut_action.h"
#include "platform/win32.h"
#include "tests/support/temp_folder.h"
#include "update/string_helpers.h"

namespace tavlen::test {
namespace {

// Shortcut names unique to this run: under wine the desktop is shared by
// every test program that uses the same wine prefix.
std::string UniqueName(const std::string& stem) {
  static std::atomic<unsigned> counter{0};
  return "tavlen-" + stem + "-" + std::to_string(GetTickCount()) + "-" + std::to_string(counter++);
}

std::string FolderPath(int32_t id) {
  std::string path;
  EXPECT_TRUE(ShellLink().SpecialFolderPath(id, path));
  return path;
}

// A shortcut file removed again when the test ends, however it ends.
class ShortcutFile {
 public:
  ShortcutFile(int32_t folder, const std::string& name) : m_path(FolderPath(folder) + name + ".lnk") {}
  ~ShortcutFile() { DeleteFileA(m_path.c_str()); }
  const std::string& Path() const { return m_path; }
  bool Exists() const { return GetFileAttributesA(m_path.c_str()) != INVALID_FILE_ATTRIBUTES; }

 private:
  std::string m_path;
};

ShellLinkFields Read(int32_t folder, const std::string& name) {
  ShellLinkFields fields;
  EXPECT_TRUE(SUCCEEDED(ShellLink().ReadLink(nullptr, folder, name, fields))) << name;
  return fields;
}

std::unique_ptr<UpdateAction> Shortcut(std::initializer_list<std::pair<const char*, std::string>> attributes) {
  auto action = std::make_unique<ShortcutAction>();
  for (const auto& [name, value] : attributes) action->SetAttribute(name, value);
  return action;
}

std::string ModulePath() {
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  return module;
}

// Two real files to point shortcuts at.
class ShortcutTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteFileBytes(m_first, "one"));
    ASSERT_TRUE(WriteFileBytes(m_second, "two"));
    ASSERT_TRUE(WriteFileBytes(m_icon, "icon"));
  }
  TempFolder m_temp;
  std::string m_first = m_temp / "First Program.exe";
  std::string m_second = m_temp / "second.exe";
  std::string m_icon = m_temp / "app.ico";
};

TEST(ShortcutAttributes, ReadsNumbersCommandsAndNewItems) {
  struct NumberCase {
    const char* text;
    int32_t expected;
  } const numbers[] = {
      {"26", 26},        {"0x1a", 26},     {" 0X1A", 26},          {"abc", 7},       {"", 7},
      {"12abc", 12},     {"-3", -3},       {"+4", 4},              {"0x", 0},        {"0xffffffff", -1},
      {"0x1ffffffff", -1}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
  };
  for (const auto& c : numbers) {
    int32_t field = 7;
    ReadNumberAttribute(c.text, field);
    EXPECT_EQ(field, c.expected) << "\"" << c.text << "\"";
  }

  auto action = Shortcut({{"cmd", " CREATE "}, {"id", "0x1a"}, {"iconindex", "abc"}, {"newitems", " Target , ARG ,"}});
  auto* shortcut = static_cast<ShortcutAction*>(action.get());
  EXPECT_EQ(shortcut->Command(), "create");
  EXPECT_EQ(shortcut->FolderId(), 26);
  EXPECT_EQ(shortcut->IconIndex(), 1) << "no digit keeps the default";
  EXPECT_EQ(shortcut->NewItems(), "target, arg,,") << "only a blank directly before a comma goes";
  shortcut->SetAttribute("cmd", "");
  EXPECT_EQ(shortcut->Command(), "create");
}

TEST(ShortcutAttributes, FactoryMakesTheDeclaredList) {
  ActionFactory::Instance().RegisterPrototypes();
  auto action = ActionFactory::Instance().CreateAction(" Shortcut ");
  ASSERT_NE(action, nullptr);
  const std::vector<std::string> names{"cmd", "id", "name", "target", "arg", "lnkdesc", "iconfile",
                                       "iconindex", "newitems", "skiperr"};
  const std::vector<std::string> values{"create", "0", "", "", "", "", "", "1", "", "0"};
  EXPECT_EQ(action->AttributeNames(), names);
  EXPECT_EQ(action->AttributeValues(), values);
  ActionFactory::Instance().DestroyPrototypes();
}

TEST(SpecialFolders, PathsOfTheProfileAndNoneForVirtualFolders) {
  const std::string desktop = FolderPath(CSIDL_DESKTOP);
  EXPECT_EQ(desktop.substr(desktop.size() - 9), "\\Desktop\\");
  char appData[MAX_PATH] = {};
  ASSERT_GT(ExpandEnvironmentStringsA("%APPDATA%", appData, MAX_PATH), 0u);
  EXPECT_TRUE(EqualsNoCase(FolderPath(CSIDL_APPDATA), std::string(appData) + "\\"));
  EXPECT_EQ(GetFileAttributesA(FolderPath(CSIDL_PROGRAMS).c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  std::string none;
  for (int32_t id : {CSIDL_CONTROLS, CSIDL_BITBUCKET, CSIDL_DRIVES, 0x7f, -1}) {
    EXPECT_FALSE(ShellLink().SpecialFolderPath(id, none)) << id;
  }
}

TEST_F(ShortcutTest, CreateWithOnlyANamePointsAtTheAgentOnTheDesktop) {
  const std::string name = UniqueName("only-name");
  ShortcutFile file(CSIDL_DESKTOP, name);
  EXPECT_TRUE(Shortcut({{"name", name}})->Execute());
  ASSERT_TRUE(file.Exists());
  const ShellLinkFields fields = Read(CSIDL_DESKTOP, name);
  EXPECT_TRUE(EqualsNoCase(fields.target, ModulePath()));
  EXPECT_EQ(fields.description, "");
  EXPECT_EQ(fields.arguments, "");
  // No icon location is written: the file's HasIconLocation flag is clear.
  // (wine's GetIconLocation then reports the target's own icon, Windows none.)
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(file.Path(), bytes));
  ASSERT_GT(bytes.size(), 0x18u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0x14]) & 0x40, 0);
}

TEST_F(ShortcutTest, ManifestElementWithOnlyANameCreatesOnTheDesktop) {
  // Absent attributes load as empty texts: an empty "cmd" creates, an empty
  // or unreadable "id" keeps the desktop.
  for (const char* extra : {"", " id=\"abc\"", " cmd=\"\" id=\"\""}) {
    const std::string name = UniqueName("element");
    ShortcutFile file(CSIDL_DESKTOP, name);
    TiXmlDocument document;
    document.Parse(("<action type=\"shortcut\" name=\"" + name + "\"" + extra + "/>").c_str());
    ASSERT_NE(document.RootElement(), nullptr);
    ShortcutAction action;
    ASSERT_TRUE(action.LoadFromElement(document.RootElement()));
    EXPECT_TRUE(action.Execute()) << extra;
    ASSERT_TRUE(file.Exists()) << extra;
    EXPECT_TRUE(EqualsNoCase(Read(CSIDL_DESKTOP, name).target, ModulePath()));
  }
}

TEST_F(ShortcutTest, CreateWritesEveryFieldAndReplacesAnEarlierShortcut) {
  const std::string name = UniqueName("fields");
  ShortcutFile file(CSIDL_DESKTOP, name);
  EXPECT_TRUE(Shortcut({{"name", name}, {"target", m_first}, {"arg", " -x \"a b\" "}, {"lnkdesc", "升级 tool"},
                        {"iconfile", m_icon}, {"iconindex", "3"}})
                  ->Execute());
  ShellLinkFields fields = Read(CSIDL_DESKTOP, name);
  EXPECT_EQ(fields.target, m_first);
  EXPECT_EQ(fields.arguments, "-x \"a b\"");
  EXPECT_EQ(fields.description, "升级 tool");
  EXPECT_EQ(fields.iconFile, m_icon);
  EXPECT_EQ(fields.iconIndex, 3);

  EXPECT_TRUE(Shortcut({{"cmd", "create"}, {"name", name}, {"target", m_second}})->Execute());
  fields = Read(CSIDL_DESKTOP, name);
  EXPECT_EQ(fields.target, m_second);
  EXPECT_EQ(fields.arguments, "");
}

TEST_F(ShortcutTest, UpdateReplacesOnlyTheNamedItems) {
  struct Case {
    const char* newItems;
    bool target, arg, desc, iconFile, iconIndex;
  } const cases[] = {
      {"Target", true, false, false, false, false},
      {"arg ,iconindex", false, true, false, false, true},
      {"", false, false, false, false, false},
      {"lnkdesc,iconfile,target,arg,iconindex", true, true, true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.newItems);
    const std::string name = UniqueName("update");
    ShortcutFile file(CSIDL_DESKTOP, name);
    ASSERT_TRUE(ShellLink().CreateLink(CSIDL_DESKTOP, name, m_first, "-old", "old", m_first, 5));
    EXPECT_TRUE(Shortcut({{"cmd", "update"}, {"name", name}, {"newitems", c.newItems}, {"target", m_second},
                          {"arg", "-new"}, {"lnkdesc", "new"}, {"iconfile", m_icon}, {"iconindex", "9"}})
                    ->Execute());
    const ShellLinkFields fields = Read(CSIDL_DESKTOP, name);
    EXPECT_EQ(fields.target, c.target ? m_second : m_first);
    EXPECT_EQ(fields.arguments, c.arg ? "-new" : "-old");
    EXPECT_EQ(fields.description, c.desc ? "new" : "old");
    EXPECT_EQ(fields.iconFile, c.iconFile ? m_icon : m_first);
    EXPECT_EQ(fields.iconIndex, c.iconIndex ? 9 : 5);
  }
}

TEST_F(ShortcutTest, UpdateOfAMissingShortcutSucceedsAndWritesNothing) {
  const std::string name = UniqueName("missing");
  ShortcutFile file(CSIDL_DESKTOP, name);
  EXPECT_TRUE(Shortcut({{"cmd", "Update"}, {"name", name}, {"target", m_first}})->Execute());
  EXPECT_FALSE(file.Exists());
}

TEST_F(ShortcutTest, DeleteRemovesTheFileAndAMissingOneFails) {
  const std::string name = UniqueName("delete");
  ShortcutFile file(CSIDL_DESKTOP, name);
  ASSERT_TRUE(ShellLink().CreateLink(CSIDL_DESKTOP, name, m_first, "", "", "", 0));
  EXPECT_TRUE(Shortcut({{"cmd", "delete"}, {"name", name}})->Execute());
  EXPECT_FALSE(file.Exists());
  EXPECT_FALSE(Shortcut({{"cmd", "delete"}, {"name", name}})->Execute());
  EXPECT_TRUE(Shortcut({{"cmd", "delete"}, {"name", name}, {"skiperr", "true"}})->Execute());
}

TEST_F(ShortcutTest, UpdateOfAShortcutThatCannotBeReadFails) {
  const std::string name = UniqueName("corrupt");
  ShortcutFile file(CSIDL_DESKTOP, name);
  ASSERT_TRUE(WriteFileBytes(file.Path(), "not a shell link"));
  ShellLinkFields fields;
  EXPECT_TRUE(FAILED(ShellLink().ReadLink(nullptr, CSIDL_DESKTOP, name, fields)));
  EXPECT_FALSE(Shortcut({{"cmd", "update"}, {"name", name}, {"target", m_first}})->Execute());
  EXPECT_TRUE(Shortcut({{"cmd", "update"}, {"name", name}, {"skiperr", "1"}})->Execute());
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(file.Path(), bytes));
  EXPECT_EQ(bytes, "not a shell link") << "left as it was";
}

TEST_F(ShortcutTest, NameWithBlanksIsTrimmedOnlyByCreate) {
  const std::string name = UniqueName("blanks");
  ShortcutFile file(CSIDL_DESKTOP, name);
  EXPECT_TRUE(Shortcut({{"name", "  " + name + " "}, {"target", m_first}})->Execute());
  EXPECT_TRUE(file.Exists());
  // Update and delete look for the name with its blanks, which is not there.
  EXPECT_TRUE(Shortcut({{"cmd", "update"}, {"name", " " + name}, {"newitems", "target"}, {"target", m_second}})
                  ->Execute());
  EXPECT_EQ(Read(CSIDL_DESKTOP, name).target, m_first);
  EXPECT_FALSE(Shortcut({{"cmd", "delete"}, {"name", " " + name}})->Execute());
  EXPECT_TRUE(file.Exists());
}

TEST_F(ShortcutTest, SubFolderNamesNeedAnExistingFolderInHexadecimalId) {
  const std::string folder = UniqueName("folder");
  const std::string appData = FolderPath(0x1a);
  ShortcutFile missing(0x1a, folder + "\\app");
  EXPECT_FALSE(Shortcut({{"id", "0x1a"}, {"name", folder + "\\app"}, {"target", m_first}})->Execute());
  EXPECT_FALSE(missing.Exists()) << "no folder is created";

  ASSERT_TRUE(CreateDirectoryA((appData + folder).c_str(), nullptr));
  {
    ShortcutFile file(0x1a, folder + "\\app");
    EXPECT_TRUE(Shortcut({{"id", "0x1a"}, {"name", folder + "\\app"}, {"target", m_first}})->Execute());
    EXPECT_TRUE(file.Exists());
    EXPECT_EQ(Read(26, folder + "\\app").target, m_first);
  }
  RemoveDirectoryA((appData + folder).c_str());
}

TEST_F(ShortcutTest, EmptyNameOtherCommandsAndFoldersWithoutPath) {
  for (const char* cmd : {"create", "update", "delete"}) {
    EXPECT_TRUE(Shortcut({{"cmd", cmd}, {"name", ""}, {"target", m_first}})->Execute()) << cmd;
  }
  const std::string name = UniqueName("other");
  ShortcutFile file(CSIDL_DESKTOP, name);
  EXPECT_TRUE(Shortcut({{"cmd", "remove"}, {"name", name}})->Execute());
  EXPECT_FALSE(file.Exists());
  EXPECT_FALSE(Shortcut({{"id", "17"}, {"name", name}})->Execute()) << "My Computer has no folder";
  EXPECT_TRUE(Shortcut({{"id", "17"}, {"name", name}, {"skiperr", "1"}})->Execute());
}

TEST_F(ShortcutTest, PathsBeyondMaxPathAreRefused) {
  const std::string longName(MAX_PATH, 'n');
  EXPECT_FALSE(Shortcut({{"name", longName}, {"target", m_first}})->Execute());
  EXPECT_FALSE(ShellLink().LinkExists(CSIDL_DESKTOP, longName));
  EXPECT_FALSE(Shortcut({{"cmd", "delete"}, {"name", longName}})->Execute());
  std::string longPath;
  EXPECT_EQ(ExpandToLongPath(m_temp.Path() + "\\" + longName, longPath), 0);
}

TEST_F(ShortcutTest, ExpandToLongPathGivesTheNamesOnDisk) {
  std::string upper = m_first;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  std::string slashes = m_first;
  for (char& c : slashes) {
    if (c == '\\') c = '/';
  }
  std::string longPath;
  for (const std::string& input : {upper, slashes, "  " + m_first + " "}) {
    EXPECT_EQ(ExpandToLongPath(input, longPath), static_cast<int>(m_first.size())) << input;
    EXPECT_EQ(longPath, m_first);
  }
  longPath = "kept";
  EXPECT_EQ(ExpandToLongPath(m_temp / "absent.exe", longPath), 0);
  EXPECT_EQ(ExpandToLongPath("", longPath), 0);
  EXPECT_EQ(longPath, "kept");
  EXPECT_EQ(ExpandToLongPath("C:\\", longPath), 3);
}

}  // namespace
}  // namespace tavlen::test
