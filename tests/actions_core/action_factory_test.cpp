// The factory: prototypes by exact lower-case type name, new actions cloned
// from them.
#include <gtest/gtest.h>

#include "actions/core/action_factory.h"
#include "update/string_helpers.h"
#include "tests/actions_core/probe_action.h"

namespace tavlen::test {
namespace {

class ActionFactoryTest : public testing::Test {
 protected:
  void SetUp() override {
    m_factory.Register(std::make_unique<ProbeAction>("probe"));
    m_factory.Register(std::make_unique<ProbeAction>("echo"));
  }
  ActionFactory m_factory;
};

TEST_F(ActionFactoryTest, CreatesByTrimmedCaseInsensitiveName) {
  const char* const names[] = {"probe", " Probe ", "\tPROBE\r\n", "echo"};
  for (const char* name : names) {
    const std::unique_ptr<UpdateAction> action = m_factory.CreateAction(name);
    ASSERT_NE(action, nullptr) << name;
    EXPECT_EQ(action->Type(), Trim(ToLowerAscii(name)));
    EXPECT_EQ(action->GetAttribute("async"), "false");
  }
}

TEST_F(ActionFactoryTest, UnknownOrEmptyNamesGiveNone) {
  for (const char* name : {"", " ", "run", "pro be", "probes"}) {
    EXPECT_EQ(m_factory.CreateAction(name), nullptr) << '"' << name << '"';
  }
}

TEST_F(ActionFactoryTest, NewActionsAreIndependentOfThePrototype) {
  const std::unique_ptr<UpdateAction> first = m_factory.CreateAction("probe");
  first->SetAttribute("cmd", "changed.exe");
  first->SetAttribute("skiperr", "1");
  const std::unique_ptr<UpdateAction> second = m_factory.CreateAction("probe");
  EXPECT_EQ(second->GetAttribute("cmd"), "");
  EXPECT_FALSE(second->SkipError());
}

TEST_F(ActionFactoryTest, RegisteringAgainReplacesAndDestroyEmpties) {
  EXPECT_EQ(m_factory.Count(), 2);
  auto replacement = std::make_unique<ProbeAction>("probe");
  replacement->SetAttribute("skiperr", "1");
  m_factory.Register(std::move(replacement));
  EXPECT_EQ(m_factory.Count(), 2);
  EXPECT_TRUE(m_factory.CreateAction("probe")->SkipError());

  m_factory.DestroyPrototypes();
  EXPECT_EQ(m_factory.Count(), 0);
  EXPECT_EQ(m_factory.CreateAction("probe"), nullptr);
}

TEST(ActionFactoryInstance, IsOneProcessWideFactory) {
  EXPECT_EQ(&ActionFactory::Instance(), &ActionFactory::Instance());
  ActionFactory::Instance().Register(std::make_unique<ProbeAction>("probe"));
  EXPECT_NE(CreateAction(" probe"), nullptr);
  ActionFactory::Instance().DestroyPrototypes();
  EXPECT_EQ(CreateAction("probe"), nullptr);
}

}  // namespace
}  // namespace tavlen::test
