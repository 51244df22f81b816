// The "sendmessage" action's attributes, and its behaviour when the window
// is not there, on both targets.
#include <gtest/gtest.h>

#include <string>

#include "actions/core/action_factory.h"
#include "actions/send_message_action.h"
#include "tests/windows/scripted_display.h"

namespace tavlen::test {
namespace {

TEST(SendMessageAttributes, MessageNamesAndNumbers) {
  struct Case {
    const char* text;
    UINT message;
  } const cases[] = {
      {"WM_CLOSE", 16}, {"wm_close", 16},     {"16", 16},           {"0x10", 0},  {"", 0},
      {"WM_QUIT", 18},  {"Wm_Command", 273}, {"WM_DESTROY", 2},    {" 273abc", 273},
      {" WM_CLOSE", 0}, {"-1", 0xFFFFFFFFu}, {"WM_USER", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadMessageNumber(c.text), c.message) << "\"" << c.text << "\"";

  SendMessageAction action;
  action.SetAttribute("wparam", "-6");
  action.SetAttribute(" LParam ", "99999999999");
  EXPECT_EQ(action.WParam(), -6);
  EXPECT_EQ(action.LParam(), 2147483647) << "held to 32 bits";
  action.SetAttribute("wparam", "abc");
  EXPECT_EQ(action.WParam(), 0);
}

TEST(SendMessageAttributes, FactoryMakesTheDeclaredList) {
  ActionFactory::Instance().RegisterPrototypes();
  auto action = ActionFactory::Instance().CreateAction("sendmessage");
  ASSERT_NE(action, nullptr);
  const std::vector<std::string> names{"description", "classname", "title", "message", "wparam", "lparam", "skiperr"};
  const std::vector<std::string> values{"", "", "", "", "0", "0", "0"};
  EXPECT_EQ(action->AttributeNames(), names);
  EXPECT_EQ(action->AttributeValues(), values);
  ActionFactory::Instance().DestroyPrototypes();
}

TEST(SendMessageAction, AWindowThatIsNotThereEndsTheActionAtOnce) {
  for (const char* skip : {"0", "1"}) {
    ScriptedDisplay display({IDRETRY, IDRETRY});
    SendMessageAction action;
    action.SetAttribute("description", "Tavlen Player");
    action.SetAttribute("classname", "TavlenNoSuchWindowClass");
    action.SetAttribute("title", "No Such Window");
    action.SetAttribute("message", "WM_CLOSE");
    action.SetAttribute("skiperr", skip);
    EXPECT_TRUE(action.Execute());
    EXPECT_TRUE(display.questions.empty());
    EXPECT_EQ(display.status, std::vector<std::string>{"Tavlen Player"});
  }
}

}  // namespace
}  // namespace tavlen::test
