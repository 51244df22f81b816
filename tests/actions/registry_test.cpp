// The "registry" action on the real registry (wine's, or the prefix's
// database on Linux), and the "hex:" byte notation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/hex_bytes.h"
#include "actions/registry_action.h"
#include "platform/registry_key.h"
#include "platform/win32.h"

namespace tavlen::test {
namespace {

const std::string kBase = "Software\\TavlenActionTest";

using Bytes = std::vector<unsigned char>;

RegistryAction Make(std::initializer_list<std::pair<const char*, std::string>> attributes) {
  RegistryAction action;
  for (const auto& [name, value] : attributes) action.SetAttribute(name, value);
  return action;
}

class RegistryActionTest : public ::testing::Test {
 protected:
  void TearDown() override { Key("").DeleteKeyTree(kBase); }

  static RegistryKey Key(const std::string& valueName, const std::string& subKey = kBase) {
    RegistryKey key;
    key.SetRootKey(HKEY_CURRENT_USER);
    key.SetSubKey(subKey.c_str());
    key.SetValueName(valueName.c_str());
    return key;
  }
  // The value's bytes and type; type 0 when it cannot be read.
  static Bytes Read(const std::string& valueName, DWORD* type = nullptr, const std::string& subKey = kBase) {
    HKEY key = nullptr;
    Bytes bytes;
    if (type != nullptr) *type = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return bytes;
    DWORD size = 0;
    DWORD kind = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &kind, nullptr, &size) == ERROR_SUCCESS) {
      bytes.resize(size);
      if (RegQueryValueExA(key, valueName.c_str(), nullptr, &kind, bytes.data(), &size) == ERROR_SUCCESS) {
        bytes.resize(size);
        if (type != nullptr) *type = kind;
      }
    }
    RegCloseKey(key);
    return bytes;
  }
  static bool KeyExists(const std::string& subKey) { return Key("").KeyExists(subKey, HKEY_CURRENT_USER); }
};

TEST_F(RegistryActionTest, WritesTextCreatingMissingKeys) {
  EXPECT_TRUE(Make({{"key", "HKCU\\" + kBase + "\\Deep\\Name"}, {"valuename", "Ver"}, {"value", "1.2"}}).Execute());
  DWORD type = 0;
  EXPECT_EQ(Read("Ver", &type, kBase + "\\Deep\\Name"), (Bytes{'1', '.', '2', 0}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  // An unknown value type writes text too; an empty value name is the default value.
  EXPECT_TRUE(Make({{"key", "HKEY_CURRENT_USER\\" + kBase}, {"valuetype", "QWORD"}, {"value", "x"}}).Execute());
  EXPECT_EQ(Read("", &type), (Bytes{'x', 0}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(RegistryActionTest, WritesDwordsAsAtolReadsThem) {
  const struct {
    const char* text;
    Bytes bytes;
  } cases[] = {
      {"255", {0xff, 0, 0, 0}},
      {"0x10", {0, 0, 0, 0}},
      {"-1", {0xff, 0xff, 0xff, 0xff}},
      {"  42abc", {42, 0, 0, 0}},
      {"99999999999", {0xff, 0xff, 0xff, 0x7f}},  // saturates like the 32-bit runtime
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(Make({{"key", "HKCU\\" + kBase}, {"valuetype", "dword"}, {"valuename", "N"}, {"value", c.text}})
                    .Execute());
    DWORD type = 0;
    EXPECT_EQ(Read("N", &type), c.bytes) << c.text;
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  }
}

TEST_F(RegistryActionTest, BinaryMergesAtTheStartPosition) {
  const struct {
    const char* startpos;  // nullptr: the element has no "startpos", read as 0
    Bytes result;
  } cases[] = {
      {nullptr, {0x01, 0x02, 0x0c, 0x0d}},
      {"", {0x01, 0x02, 0x0c, 0x0d}},
      {"-1", {0x01, 0x02}},
      {"3", {0x0a, 0x0b, 0x0c, 0x01, 0x02}},
      {"2", {0x0a, 0x0b, 0x01, 0x02}},
      {"6", {0x0a, 0x0b, 0x0c, 0x0d, 0x00, 0x00, 0x01, 0x02}},  // the gap is zero-filled
  };
  for (const auto& c : cases) {
    const BYTE old[] = {0x0a, 0x0b, 0x0c, 0x0d};
    ASSERT_EQ(Key("Bin").WriteBinary(old, sizeof old), ERROR_SUCCESS);
    RegistryAction action =
        Make({{"key", "HKCU\\" + kBase}, {"valuetype", "BINARY"}, {"valuename", "Bin"}, {"value", "hex:01,02"}});
    action.SetAttribute("startpos", c.startpos != nullptr ? c.startpos : "");
    EXPECT_TRUE(action.Execute());
    DWORD type = 0;
    EXPECT_EQ(Read("Bin", &type), c.result) << (c.startpos ? c.startpos : "absent");
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  }
}

TEST_F(RegistryActionTest, BinaryWithoutExistingValueOrPrefix) {
  EXPECT_TRUE(Make({{"key", "HKCU\\" + kBase}, {"valuetype", "binary"}, {"valuename", "Fresh"}, {"startpos", "5"},
                    {"value", "hex:ab,cd"}})
                  .Execute());
  EXPECT_EQ(Read("Fresh"), (Bytes{0xab, 0xcd}));
  EXPECT_TRUE(Make({{"key", "HKCU\\" + kBase}, {"valuetype", "binary"}, {"valuename", "Plain"}, {"value", "01,02"}})
                  .Execute());
  DWORD type = 0;
  Read("Plain", &type);
  EXPECT_EQ(type, 0u) << "without \"hex:\" nothing is written";
  const BYTE old[] = {1};
  ASSERT_EQ(Key("Huge").WriteBinary(old, sizeof old), ERROR_SUCCESS);
  EXPECT_FALSE(Make({{"key", "HKCU\\" + kBase}, {"valuetype", "binary"}, {"valuename", "Huge"},
                     {"startpos", "2000000000"}, {"value", "hex:01"}})
                   .Execute())
      << "a merge far beyond any value is refused, not allocated";
  EXPECT_EQ(Read("Huge"), (Bytes{1}));
}

TEST_F(RegistryActionTest, DeletesKeysAndValues) {
  ASSERT_EQ(Key("v", kBase + "\\Tree\\A\\B").WriteString("b"), ERROR_SUCCESS);
  ASSERT_EQ(Key("v", kBase + "\\Tree\\C").WriteString("c"), ERROR_SUCCESS);
  ASSERT_EQ(Key("Ver").WriteString("1"), ERROR_SUCCESS);
  ASSERT_EQ(Key("Keep").WriteString("2"), ERROR_SUCCESS);

  EXPECT_TRUE(Make({{"key", "-HKCU\\" + kBase + "\\Tree"}}).Execute());
  EXPECT_FALSE(KeyExists(kBase + "\\Tree"));
  EXPECT_TRUE(Make({{"key", "-HKCU\\" + kBase + "\\Tree"}}).Execute()) << "missing key";

  EXPECT_TRUE(Make({{"key", "HKCU\\" + kBase}, {"valuename", "-Ver"}}).Execute());
  EXPECT_TRUE(Read("Ver").empty());
  EXPECT_EQ(Read("Keep"), (Bytes{'2', 0}));
  EXPECT_TRUE(Make({{"key", "HKCU\\" + kBase}, {"valuename", "-Ver"}}).Execute()) << "missing value";

  // A "-" on the key wins: the key goes, the value name is not looked at.
  ASSERT_EQ(Key("Y", kBase + "\\X").WriteString("y"), ERROR_SUCCESS);
  EXPECT_TRUE(Make({{"key", "-HKCU\\" + kBase + "\\X"}, {"valuename", "-Y"}}).Execute());
  EXPECT_FALSE(KeyExists(kBase + "\\X"));
}

TEST_F(RegistryActionTest, KeyNamingOnlyARootDeletesNothing) {
  ASSERT_EQ(Key("Keep").WriteString("k"), ERROR_SUCCESS);
  for (const char* key : {"-HKCU\\", "-HKEY_CURRENT_USER\\\\", "-HKCU\\\\\\"}) {
    EXPECT_TRUE(Make({{"key", key}}).Execute()) << key;
  }
  EXPECT_EQ(Read("Keep"), (Bytes{'k', 0}));
}

TEST_F(RegistryActionTest, FailedWriteGivesTheSkipFlag) {
  // A key name longer than the registry allows cannot be created.
  const std::string tooLong = "HKCU\\" + kBase + "\\" + std::string(300, 'k');
  EXPECT_FALSE(Make({{"key", tooLong}, {"valuename", "v"}, {"value", "x"}}).Execute());
  EXPECT_TRUE(Make({{"key", tooLong}, {"valuename", "v"}, {"value", "x"}, {"skiperr", "1"}}).Execute());
}

TEST(RegistryRoots, NamesBeforeTheFirstBackslash) {
  const struct {
    const char* name;
    HKEY root;
  } cases[] = {
      {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}, {"hkcr", HKEY_CLASSES_ROOT},   {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {"HkCu", HKEY_CURRENT_USER},              {"HKCC", HKEY_CURRENT_CONFIG}, {"HKEY_USERS", HKEY_USERS},
      {"HKU", HKEY_USERS},                      {"HKLM", HKEY_LOCAL_MACHINE},  {"Software", HKEY_LOCAL_MACHINE},
      {"", HKEY_LOCAL_MACHINE},
  };
  for (const auto& c : cases) EXPECT_EQ(RegistryRootByName(c.name), c.root) << c.name;
}

TEST(DecodeHexBytes, Notation) {
  const struct {
    const char* text;
    int count;
    Bytes bytes;
  } cases[] = {
      {"hex:01,02", 2, {1, 2}},
      {"HEX:ff", 1, {0xff}},
      {"hex:", 1, {0}},
      {"hex:01,02,", 3, {1, 2, 0}},
      {"hex:1ff", 1, {0xff}},
      {"hex:zz", 1, {0}},
      {"hex:0x10,-1", 2, {0x10, 0xff}},
      {"hex:01,02,\\\r\n  03", 3, {1, 2, 3}},
      {"hex: 0a ,\t0b", 2, {0x0a, 0x0b}},
      {"01,02", 0, {}},
      {"he", 0, {}},
  };
  for (const auto& c : cases) {
    Bytes bytes{9, 9};
    EXPECT_EQ(DecodeHexBytes(c.text, bytes), c.count) << c.text;
    EXPECT_EQ(bytes, c.bytes) << c.text;
  }
}

}  // namespace
}  // namespace tavlen::test
