// Loading an action from its manifest element, replacing "${this_file}"
// before it runs, and the Execute convention.
#include <gtest/gtest.h>

#include <tinyxml.h>

#include <string>

#include "platform/win32.h"
#include "tests/actions_core/probe_action.h"
#include "tests/actions_core/recording_display.h"

namespace tavlen::test {
namespace {

// The first element of a one-element document.
class Element {
 public:
  explicit Element(const std::string& xml) {
    m_document.Parse(xml.c_str());
    EXPECT_FALSE(m_document.Error()) << m_document.ErrorDesc() << " in " << xml;
  }
  const TiXmlElement* get() const { return m_document.RootElement(); }

 private:
  TiXmlDocument m_document;
};

TEST(LoadFromElement, MissingAttributesBecomeEmptyNotDefaults) {
  ProbeAction action;
  action.SetAttribute("skiperr", "1");
  Element element(R"(<action type="probe" cmd="setup.exe" skiperror="1" CMD="other" unknown="x"/>)");
  EXPECT_TRUE(action.LoadFromElement(element.get()));
  EXPECT_EQ(action.GetAttribute("cmd"), "setup.exe");
  EXPECT_EQ(action.GetAttribute("args"), "");
  EXPECT_EQ(action.GetAttribute("async"), "");
  EXPECT_EQ(action.GetAttribute("skiperr"), "");
  EXPECT_FALSE(action.SkipError());
  EXPECT_EQ(action.GetAttribute("unknown"), "");
  EXPECT_EQ(action.GetAttribute("type"), "");
}

TEST(LoadFromElement, ReadsSkiperrAndDescription) {
  ProbeAction action;
  Element element(R"(<action description="安装" skiperr="TRUE"/>)");
  action.LoadFromElement(element.get());
  EXPECT_TRUE(action.SkipError());
  EXPECT_EQ(action.GetAttribute("description"), "安装");
}

TEST(LoadFromElement, NoElementChangesNothing) {
  ProbeAction action;
  action.SetAttribute("cmd", "keep.exe");
  EXPECT_FALSE(action.LoadFromElement(nullptr));
  EXPECT_EQ(action.GetAttribute("cmd"), "keep.exe");
  EXPECT_EQ(action.GetAttribute("async"), "false");
}

TEST(LoadFromElement, DoubledBackslashesCollapseInFileCmdAndWhereOnly) {
  const struct {
    const char* written;  // attribute value as the manifest writes it
    const char* path;     // stored for "file", "cmd" and "where"
  } cases[] = {
      {R"(C:\\Program Files\\Tavlen\\a.exe)", R"(C:\Program Files\Tavlen\a.exe)"},
      {R"(a\b)", R"(a\b)"},
      {R"(a\\\b)", R"(a\\b)"},
      {R"(a\\\\b)", R"(a\\b)"},
      {R"(\\\\server\\share)", R"(\\server\share)"},
      {R"(end\\)", R"(end\)"},
      // 0x81 0x5C is one double-byte character whose trail byte is 0x5C:
      // it stays whole, and the real backslash pair after it collapses.
      {"\x81\x5C\\\\x", "\x81\x5C\\x"},
  };
  for (const auto& c : cases) {
    const std::string xml = std::string("<action cmd=\"") + c.written + "\" file=\"" + c.written + "\" where=\"" +
                            c.written + "\" args=\"" + c.written + "\"/>";
    Element element(xml);
    ProbeAction action;
    action.LoadFromElement(element.get());
    EXPECT_EQ(action.GetAttribute("cmd"), c.path) << c.written;
    EXPECT_EQ(action.m_szCmd, c.path) << c.written;
    EXPECT_EQ(action.GetAttribute("file"), c.path) << c.written;
    EXPECT_EQ(action.GetAttribute("where"), c.path) << c.written;
    EXPECT_EQ(action.GetAttribute("args"), c.written) << c.written;
  }
}

TEST(SubstituteThisFile, ReplacesTheTokenInEveryValue) {
  const struct {
    const char* written;
    const char* localPath;
    const char* stored;
  } cases[] = {
      {"${this_file}", "C:\\app\\download\\core.zip", "C:\\app\\download\\core.zip"},
      {"${this_file}", "", ""},
      {"/i ${this_file} /log ${this_file}.log", "C:\\d\\p.msi", "/i C:\\d\\p.msi /log C:\\d\\p.msi.log"},
      {"${THIS_FILE} ${this_file", "C:\\x", "${THIS_FILE} ${this_file"},
  };
  for (const auto& c : cases) {
    ProbeAction action;
    action.SetAttribute("file", c.written);
    action.SetAttribute("cmd", c.written);
    action.SubstituteThisFile(c.localPath);
    EXPECT_EQ(action.GetAttribute("file"), c.stored) << c.written;
    EXPECT_EQ(action.m_szCmd, c.stored) << c.written;
  }
}

TEST(SubstituteThisFile, TypedFieldGetsTheExpandedValueOnlyWhenReplaced) {
  SetEnvironmentVariableA("TAVLEN_TEST_WIN", "C:\\windows");
  ProbeAction plain;
  plain.SetAttribute("cmd", "%TAVLEN_TEST_WIN%\\notepad.exe");
  plain.SubstituteThisFile("C:\\d\\f.txt");
  EXPECT_EQ(plain.m_szCmd, "%TAVLEN_TEST_WIN%\\notepad.exe");
  EXPECT_EQ(plain.GetAttribute("cmd"), "C:\\windows\\notepad.exe");

  ProbeAction withToken;
  withToken.SetAttribute("cmd", "%TAVLEN_TEST_WIN%\\notepad.exe ${this_file}");
  withToken.SubstituteThisFile("C:\\d\\f.txt");
  EXPECT_EQ(withToken.m_szCmd, "C:\\windows\\notepad.exe C:\\d\\f.txt");
  SetEnvironmentVariableA("TAVLEN_TEST_WIN", nullptr);
}

TEST(ExecuteConvention, DescriptionIsShownAndFailureFollowsTheSkipFlag) {
  DisplayScope scope;
  ProbeAction quiet;
  EXPECT_TRUE(quiet.Execute());
  EXPECT_TRUE(scope.Display().m_statusTexts.empty());

  ProbeAction failing;
  failing.SetAttribute("description", "正在安装 %TAVLEN_NOT_EXPANDED%");
  failing.SetAttribute("cmd", "fail");
  EXPECT_FALSE(failing.Execute());
  failing.SetAttribute("skiperr", "1");
  EXPECT_TRUE(failing.Execute());
  EXPECT_EQ(scope.Display().m_statusTexts,
            (std::vector<std::string>{"正在安装 %TAVLEN_NOT_EXPANDED%", "正在安装 %TAVLEN_NOT_EXPANDED%"}));
}

}  // namespace
}  // namespace tavlen::test
