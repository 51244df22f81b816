// The registry key wrapper over the real Win32 registry (under wine) and over
// the Linux registry database: the same expectations on both.
#include <cstring>
#include <vector>

#include "tests/registry/registry_fixture.h"

namespace tavlen::test {
namespace {

using RegistryKeyTest = RegistryTest;

TEST_F(RegistryKeyTest, ConstructionAndSetters) {
  RegistryKey key;
  EXPECT_EQ(key.RootKey(), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(key.SubKey().rfind("Software\\", 0), 0u);
  EXPECT_GT(key.SubKey().size(), std::strlen("Software\\"));
  EXPECT_EQ(key.SubKey().find('.'), std::string::npos) << "the application name has no extension";
  EXPECT_EQ(key.ValueName(), "");

  struct Case {
    const char* given;
    const char* stored;
  };
  for (const Case& c : {Case{"\\\\\\A\\B", "A\\B"}, Case{"A\\\\B\\", "A\\\\B\\"}, Case{"\\", ""}, Case{"", ""}}) {
    EXPECT_TRUE(key.SetSubKey(c.given));
    EXPECT_EQ(key.SubKey(), c.stored) << c.given;
  }
  EXPECT_FALSE(key.SetSubKey(nullptr));
  EXPECT_EQ(key.SubKey(), "");
  EXPECT_TRUE(key.SetValueName("\\name"));
  EXPECT_FALSE(key.SetValueName(nullptr));
  EXPECT_EQ(key.ValueName(), "\\name");
  EXPECT_TRUE(key.SetRootKey(HKEY_CURRENT_USER));
  EXPECT_EQ(key.RootKey(), HKEY_CURRENT_USER);
}

TEST_F(RegistryKeyTest, LeadingBackslashesReachTheSameKey) {
  RegistryKey key;
  key.SetRootKey(HKEY_CURRENT_USER);
  key.SetSubKey(("\\\\" + Path() + "\\Deep\\Path").c_str());
  key.SetValueName("v");
  ASSERT_EQ(key.WriteString("x"), ERROR_SUCCESS);
  EXPECT_TRUE(key.KeyExists(Path() + "\\Deep\\Path"));
  std::string text;
  EXPECT_EQ(Key("DEEP\\PATH").ReadString(text), ERROR_FILE_NOT_FOUND) << "only the named value was written";
  RegistryKey named = Key("deep\\path");
  named.SetValueName("V");
  ASSERT_EQ(named.ReadString(text), ERROR_SUCCESS);
  EXPECT_EQ(text, "x");
}

TEST_F(RegistryKeyTest, WritersCreateThePathAndKeepTypesAndBytes) {
  RegistryKey key = Key("a\\b\\c");
  EXPECT_FALSE(key.KeyExists(Path()));
  key.SetValueName("dword");
  ASSERT_EQ(key.WriteDword(0x12345678u), ERROR_SUCCESS);
  EXPECT_TRUE(key.KeyExists(Path() + "\\a\\b\\c"));
  std::vector<BYTE> bytes;
  ASSERT_EQ(key.ReadRaw(bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, (std::vector<BYTE>{0x78, 0x56, 0x34, 0x12}));

  key.SetValueName("binary");
  const BYTE binary[] = {0, 1, 0, 0xFF, 0x80};
  ASSERT_EQ(key.WriteBinary(binary, sizeof binary), ERROR_SUCCESS);
  ASSERT_EQ(key.ReadRaw(bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, std::vector<BYTE>(binary, binary + sizeof binary));
  ASSERT_EQ(key.WriteBinary(binary, 0), ERROR_SUCCESS);
  ASSERT_EQ(key.ReadRaw(bytes), ERROR_SUCCESS);
  EXPECT_TRUE(bytes.empty());

  key.SetValueName("中文名");
  ASSERT_EQ(key.WriteString("安装目录"), ERROR_SUCCESS);
  std::string text;
  ASSERT_EQ(key.ReadString(text), ERROR_SUCCESS);
  EXPECT_EQ(text, "安装目录");

  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (Path() + "\\a\\b\\c").c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
  struct Expected {
    const char* name;
    DWORD type;
  };
  for (const Expected& e : {Expected{"dword", REG_DWORD}, Expected{"binary", REG_BINARY}, Expected{"中文名", REG_SZ}}) {
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(raw, e.name, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS) << e.name;
    EXPECT_EQ(type, e.type) << e.name;
  }
  RegCloseKey(raw);
}

TEST_F(RegistryKeyTest, DefaultValueIsTheEmptyName) {
  RegistryKey key = Key();
  ASSERT_EQ(key.WriteString("C:\\Program Files\\Tavlen"), ERROR_SUCCESS);
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Path().c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
  char buffer[64] = {};
  DWORD size = sizeof buffer;
  EXPECT_EQ(RegQueryValueExA(raw, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size), ERROR_SUCCESS);
  EXPECT_STREQ(buffer, "C:\\Program Files\\Tavlen");
  RegCloseKey(raw);
  EXPECT_TRUE(key.DeleteValue(""));
  std::string text = "unchanged";
  EXPECT_EQ(key.ReadString(text), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(text, "unchanged");
}

TEST_F(RegistryKeyTest, ReadStringOfADwordStopsAtTheFirstZeroByte) {
  RegistryKey key = Key();
  key.SetValueName("n");
  struct Case {
    DWORD value;
    const char* text;
  };
  for (const Case& c : {Case{0x00434241u, "ABC"}, Case{0x44434241u, "ABCD"}, Case{0x41004242u, "BB"}, Case{0, ""}}) {
    ASSERT_EQ(key.WriteDword(c.value), ERROR_SUCCESS);
    std::string text = "old";
    ASSERT_EQ(key.ReadString(text), ERROR_SUCCESS);
    EXPECT_EQ(text, c.text);
  }
}

TEST_F(RegistryKeyTest, ReadRawOfAStringCountsTheTerminatorAndAddsAZero) {
  RegistryKey key = Key();
  key.SetValueName("s");
  ASSERT_EQ(key.WriteString("abc"), ERROR_SUCCESS);
  BYTE* buffer = nullptr;
  DWORD count = 0;
  ASSERT_EQ(key.ReadRaw(&buffer, &count), ERROR_SUCCESS);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(count, 4u);
  EXPECT_EQ(std::memcmp(buffer, "abc\0\0", 5), 0);
  delete[] buffer;

  EXPECT_EQ(key.ReadRaw(nullptr, &count), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(key.ReadRaw(&buffer, nullptr), ERROR_INVALID_PARAMETER);
  key.SetValueName("missing");
  EXPECT_EQ(key.ReadRaw(&buffer, &count), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(buffer, nullptr);
  std::vector<BYTE> bytes;
  EXPECT_EQ(Key("missing").ReadRaw(bytes), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKeyTest, EnumSubKeys) {
  std::vector<std::string> names = {"stale"};
  EXPECT_EQ(Key().EnumSubKeys(names, Path() + "\\nothing"), 0);
  EXPECT_TRUE(names.empty());

  for (const char* child : {"Beta", "alpha", "Gamma\\Inner"}) ASSERT_EQ(Key(child).WriteDword(1), ERROR_SUCCESS);
  RegistryKey key = Key();
  ASSERT_EQ(key.EnumSubKeys(names, ""), 3);
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
  ASSERT_EQ(key.EnumSubKeys(names, Path() + "\\gamma"), 1);
  EXPECT_EQ(names, std::vector<std::string>{"Inner"});
}

TEST_F(RegistryKeyTest, DeleteKeyTree) {
  RegistryKey key = Key();
  EXPECT_TRUE(key.DeleteKeyTree(Path() + "\\missing"));
  EXPECT_FALSE(key.KeyExists(Path()));

  for (const char* child : {"a\\b\\c", "a\\b\\d", "a\\e", "keep"}) ASSERT_EQ(Key(child).WriteDword(1), ERROR_SUCCESS);
  EXPECT_TRUE(key.DeleteKeyTree(Path() + "\\A"));
  EXPECT_FALSE(key.KeyExists(Path() + "\\a"));
  EXPECT_TRUE(key.KeyExists(Path() + "\\keep"));
  std::vector<std::string> names;
  EXPECT_EQ(key.EnumSubKeys(names, ""), 1);
  EXPECT_TRUE(key.DeleteKeyTree(Path()));
  EXPECT_FALSE(key.KeyExists(Path()));
}

TEST_F(RegistryKeyTest, DeleteValue) {
  RegistryKey key = Key();
  EXPECT_FALSE(key.DeleteValue("v")) << "missing key";
  key.SetValueName("v");
  ASSERT_EQ(key.WriteDword(7), ERROR_SUCCESS);
  EXPECT_FALSE(key.DeleteValue("other"));
  EXPECT_TRUE(key.DeleteValue("V"));
  EXPECT_FALSE(key.DeleteValue("v"));
  EXPECT_TRUE(key.KeyExists(Path()));
}

}  // namespace
}  // namespace tavlen::test
