// The attribute list of an action: declaration with defaults, the base rules
// of SetAttribute and GetAttribute, environment expansion and Clone.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"
#include "tests/actions_core/probe_action.h"

namespace tavlen::test {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs ListOf(const UpdateAction& action) {
  Pairs pairs;
  EXPECT_EQ(action.AttributeNames().size(), action.AttributeValues().size());
  for (std::size_t i = 0; i < action.AttributeNames().size(); ++i) {
    pairs.emplace_back(action.AttributeNames()[i], action.AttributeValues()[i]);
  }
  return pairs;
}

// Sets an environment variable for one test and removes it afterwards.
class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const std::string& value) : m_name(name) {
    SetEnvironmentVariableA(name, value.c_str());
  }
  ~EnvironmentVariable() { SetEnvironmentVariableA(m_name, nullptr); }

 private:
  const char* m_name;
};

TEST(AttributeList, ConstructedActionListsDeclaredDefaultsThenSkiperr) {
  ProbeAction action;
  EXPECT_EQ(ListOf(action), (Pairs{{"description", ""},
                                   {"cmd", ""},
                                   {"args", ""},
                                   {"async", "false"},
                                   {"file", ""},
                                   {"where", ""},
                                   {"skiperr", "0"}}));
  EXPECT_FALSE(action.SkipError());
  EXPECT_EQ(action.Type(), "probe");
}

TEST(AttributeList, DeclareKeepsTheShorterCountAndTrimsItems) {
  struct Case {
    const char* names;
    const char* defaults;
    Pairs expected;
  };
  const Case cases[] = {
      {"a,b,c", "1,2", {{"a", "1"}, {"b", "2"}, {"skiperr", "0"}}},
      {"a,b", "1,2,3", {{"a", "1"}, {"b", "2"}, {"skiperr", "0"}}},
      {" a ,\tb", " x y ,\t", {{"a", "x y"}, {"b", ""}, {"skiperr", "0"}}},
      {",,", ",,", {{"", ""}, {"", ""}, {"", ""}, {"skiperr", "0"}}},
  };
  for (const Case& c : cases) {
    ProbeAction action;
    action.DeclareAttributes(c.names, c.defaults);
    EXPECT_EQ(ListOf(action), c.expected) << c.names << " / " << c.defaults;
  }
}

TEST(AttributeList, DeclareKeepsASetSkipFlag) {
  ProbeAction action;
  action.SetAttribute("skiperr", "1");
  action.DeclareAttributes("x", "y");
  EXPECT_EQ(ListOf(action), (Pairs{{"x", "y"}, {"skiperr", "1"}}));
  EXPECT_TRUE(action.SkipError());
}

TEST(AttributeList, SkipFlagFollowsOnlyOneAndTrue) {
  const std::pair<const char*, bool> cases[] = {
      {"1", true}, {"true", true}, {"TRUE", true}, {"True", true}, {"yes", false},
      {"0", false}, {"", false},   {" 1", false},  {"2", false},
  };
  for (const auto& [value, expected] : cases) {
    ProbeAction action;
    action.SetAttribute("skiperr", "1");
    action.SetAttribute("skiperr", value);
    EXPECT_EQ(action.SkipError(), expected) << '"' << value << '"';
    EXPECT_EQ(action.GetAttribute("skiperr"), value);
  }
}

TEST(AttributeList, SkiperrorIsAnotherNameForSkiperr) {
  ProbeAction action;
  const std::size_t size = action.AttributeNames().size();
  action.SetAttribute("SkipError", "1");
  EXPECT_TRUE(action.SkipError());
  EXPECT_EQ(action.AttributeNames().size(), size);
  EXPECT_EQ(action.AttributeNames().back(), "skiperr");
  EXPECT_EQ(action.GetAttribute("SKIPERROR"), "1");
  EXPECT_EQ(action.GetAttribute("skiperr"), "1");
}

TEST(AttributeList, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  ProbeAction action;
  action.SetAttribute("CMD", "setup.exe");
  action.SetAttribute("Extra", "1");
  action.SetAttribute("EXTRA", "2");
  EXPECT_EQ(action.GetAttribute("Cmd"), "setup.exe");
  EXPECT_EQ(action.m_szCmd, "setup.exe");
  EXPECT_EQ(action.AttributeNames()[1], "cmd");
  EXPECT_EQ(action.AttributeNames().back(), "Extra");
  EXPECT_EQ(action.GetAttribute("extra"), "2");
  EXPECT_EQ(action.GetAttribute("missing"), "");
}

TEST(AttributeList, EnvironmentIsExpandedIntoTheListOnly) {
  EnvironmentVariable variable("TAVLEN_TEST_ROOT", "C:\\tavlen root");
  ProbeAction action;
  action.SetAttribute("cmd", "%TAVLEN_TEST_ROOT%\\bin\\setup.exe");
  action.SetAttribute("description", "copy to %TAVLEN_TEST_ROOT%");
  EXPECT_EQ(action.GetAttribute("cmd"), "C:\\tavlen root\\bin\\setup.exe");
  EXPECT_EQ(action.m_szCmd, "%TAVLEN_TEST_ROOT%\\bin\\setup.exe");
  EXPECT_EQ(action.GetAttribute("description"), "copy to C:\\tavlen root");

  // An unknown variable, and a lone percent sign, stay as written.
  action.SetAttribute("args", "%TAVLEN_TEST_UNSET_VARIABLE% 100%");
  EXPECT_EQ(action.GetAttribute("args"), "%TAVLEN_TEST_UNSET_VARIABLE% 100%");
}

TEST(AttributeList, ExpansionThatDoesNotFitTheBufferKeepsTheText) {
  // The expansion buffer holds 260 characters and the terminating zero.
  EnvironmentVariable variable("TAVLEN_TEST_LONG", std::string(250, 'x'));
  const struct {
    std::string value;
    std::string expected;
  } cases[] = {
      {"%TAVLEN_TEST_LONG%" + std::string(10, 'y'), std::string(250, 'x') + std::string(10, 'y')},
      {"%TAVLEN_TEST_LONG%" + std::string(11, 'y'), "%TAVLEN_TEST_LONG%" + std::string(11, 'y')},
      {"%TAVLEN_TEST_LONG%%TAVLEN_TEST_LONG%", "%TAVLEN_TEST_LONG%%TAVLEN_TEST_LONG%"},
      {std::string(5000, 'z') + "%", std::string(5000, 'z') + "%"},
      {std::string(5000, 'z'), std::string(5000, 'z')},
      {std::string(40000, 'z') + "%TAVLEN_TEST_LONG%", std::string(40000, 'z') + "%TAVLEN_TEST_LONG%"},
  };
  for (const auto& c : cases) {
    ProbeAction action;
    action.SetAttribute("args", c.value);
    EXPECT_EQ(action.GetAttribute("args"), c.expected) << c.value.size();
  }
}

TEST(AttributeList, ApplyAttributesReappliesTheListToTheTypedFields) {
  ProbeAction action;
  action.SetAttribute("cmd", "run.exe");
  action.SetAttribute("async", "true");
  action.m_szCmd.clear();
  action.m_bAsync = false;
  action.ApplyAttributes();
  EXPECT_EQ(action.m_szCmd, "run.exe");
  EXPECT_TRUE(action.m_bAsync);
}

TEST(AttributeList, CloneIsConstructedStateWithTypeAndSkipFlag) {
  ProbeAction source("echo");
  source.SetAttribute("cmd", "run.exe");
  source.SetAttribute("async", "true");
  source.SetAttribute("skiperr", "true");
  const std::unique_ptr<UpdateAction> copy = source.Clone();
  ASSERT_NE(copy, nullptr);
  auto* probe = dynamic_cast<ProbeAction*>(copy.get());
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->Type(), "echo");
  EXPECT_TRUE(probe->SkipError());
  EXPECT_EQ(probe->m_szCmd, "");
  EXPECT_FALSE(probe->m_bAsync);
  EXPECT_EQ(ListOf(*probe), (Pairs{{"description", ""},
                                   {"cmd", ""},
                                   {"args", ""},
                                   {"async", "false"},
                                   {"file", ""},
                                   {"where", ""},
                                   {"skiperr", "1"}}));
}

}  // namespace
}  // namespace tavlen::test
