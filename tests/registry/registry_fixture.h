// A test key of its own under HKEY_CURRENT_USER\Software\TavlenTest for each
// test, deleted before and after the test (under wine the registry is the
// wine prefix's, shared by every run).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/registry_key.h"

namespace tavlen::test {

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    m_path = std::string("Software\\TavlenTest\\") + info->test_suite_name() + "." + info->name();
    Cleanup();
  }
  void TearDown() override { Cleanup(); }

  // A wrapper on the test key with the default value selected.
  RegistryKey Key(const std::string& below = "") const {
    RegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    key.SetSubKey((below.empty() ? m_path : m_path + "\\" + below).c_str());
    key.SetValueName("");
    return key;
  }
  const std::string& Path() const { return m_path; }

 private:
  void Cleanup() const {
    RegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    key.DeleteKeyTree(m_path);
  }

  std::string m_path;
};

}  // namespace tavlen::test
