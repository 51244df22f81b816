// The raw registry calls: the Win32 error codes and buffer rules the agent
// and tavlen-reg rely on, checked against Windows' own (under wine).
#include <cstring>
#include <string>
#include <vector>

#include "tests/registry/registry_fixture.h"

namespace tavlen::test {
namespace {

class RegistryApiTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Path().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &m_key, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    if (m_key != nullptr) RegCloseKey(m_key);
    RegistryTest::TearDown();
  }
  LONG Set(const char* name, DWORD type, const void* data, DWORD size) {
    return RegSetValueExA(m_key, name, 0, type, static_cast<const BYTE*>(data), size);
  }

  HKEY m_key = nullptr;
};

TEST_F(RegistryApiTest, OpenAndCreate) {
  HKEY key = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyExA(m_key, "missing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ("\\" + Path()).c_str(), 0, KEY_READ, &key), ERROR_BAD_PATHNAME);

  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(m_key, "Sub\\Deeper", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(m_key, "SUB\\deeper", 0, nullptr, 0, KEY_READ, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  RegCloseKey(key);

  // Trailing and doubled backslashes, null and empty paths still find the key.
  for (const char* path : {"Sub\\", "Sub\\\\Deeper", "sub\\DEEPER\\", "", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(RegOpenKeyExA(m_key, path, 0, KEY_READ, &key), ERROR_SUCCESS) << (path ? path : "null");
    RegCloseKey(key);
  }

  char name[MAX_PATH];
  DWORD length = MAX_PATH;
  ASSERT_EQ(RegEnumKeyExA(m_key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Sub") << "the first spelling stays";
  EXPECT_EQ(length, 3u);
  length = 3;
  EXPECT_EQ(RegEnumKeyExA(m_key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  length = MAX_PATH;
  EXPECT_EQ(RegEnumKeyExA(m_key, 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryApiTest, QueryValueSizesAndErrors) {
  ASSERT_EQ(Set("s", REG_SZ, "text", 5), ERROR_SUCCESS);
  DWORD type = 0;
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(m_key, "S", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 5u);

  char buffer[8] = {};
  size = 2;
  EXPECT_EQ(RegQueryValueExA(m_key, "s", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 5u);
  size = sizeof buffer;
  EXPECT_EQ(RegQueryValueExA(m_key, "s", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 5u);
  EXPECT_STREQ(buffer, "text");
  EXPECT_EQ(RegQueryValueExA(m_key, "s", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExA(m_key, "missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExA(m_key, "", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Set("b", REG_BINARY, nullptr, 4), ERROR_NOACCESS);
}

TEST_F(RegistryApiTest, EnumValuesInNameOrderKeepingTheFirstSpelling) {
  const DWORD one = 1;
  ASSERT_EQ(Set("zeta", REG_SZ, "1", 2), ERROR_SUCCESS);
  ASSERT_EQ(Set("Alpha", REG_DWORD, &one, 4), ERROR_SUCCESS);
  ASSERT_EQ(Set("ZETA", REG_BINARY, "\x01\x02", 2), ERROR_SUCCESS);
  struct Expected {
    const char* name;
    DWORD type;
    DWORD size;
  };
  const Expected expected[] = {{"Alpha", REG_DWORD, 4}, {"zeta", REG_BINARY, 2}};
  for (DWORD i = 0; i < 2; ++i) {
    char name[MAX_PATH];
    DWORD length = MAX_PATH;
    DWORD type = 0;
    BYTE data[16];
    DWORD size = sizeof data;
    ASSERT_EQ(RegEnumValueA(m_key, i, name, &length, nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_STREQ(name, expected[i].name);
    EXPECT_EQ(length, std::strlen(expected[i].name));
    EXPECT_EQ(type, expected[i].type);
    EXPECT_EQ(size, expected[i].size);
  }
  char name[MAX_PATH];
  DWORD length = 2;
  EXPECT_EQ(RegEnumValueA(m_key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  BYTE data[1];
  DWORD size = sizeof data;
  length = MAX_PATH;
  EXPECT_EQ(RegEnumValueA(m_key, 0, name, &length, nullptr, nullptr, data, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  length = MAX_PATH;
  EXPECT_EQ(RegEnumValueA(m_key, 2, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

// Code page 936 names: a trail byte 0x5C is no separator, and trail bytes
// that look like ASCII letters are not folded.
TEST_F(RegistryApiTest, DoubleByteNames) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(m_key, "乗\\表", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
  char name[MAX_PATH];
  DWORD length = MAX_PATH;
  ASSERT_EQ(RegEnumKeyExA(m_key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "乗");
  length = MAX_PATH;
  EXPECT_EQ(RegEnumKeyExA(m_key, 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

  ASSERT_EQ(Set("丄", REG_SZ, "upper", 6), ERROR_SUCCESS);
  ASSERT_EQ(Set("乤", REG_SZ, "lower", 6), ERROR_SUCCESS);
  char data[8] = {};
  DWORD size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(m_key, "丄", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
  EXPECT_STREQ(data, "upper");
  RegistryKey wrapper = Key("乗");
  std::vector<std::string> names;
  EXPECT_EQ(wrapper.EnumSubKeys(names, ""), 1);
  EXPECT_TRUE(wrapper.DeleteKeyTree(Path() + "\\乗"));
  EXPECT_FALSE(wrapper.KeyExists(Path() + "\\乗"));
}

TEST_F(RegistryApiTest, AccessRightsOfTheHandle) {
  HKEY readOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Path().c_str(), 0, KEY_READ, &readOnly), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(readOnly, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueA(readOnly, "v"), ERROR_ACCESS_DENIED);
  RegCloseKey(readOnly);

  HKEY setOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Path().c_str(), 0, KEY_SET_VALUE, &setOnly), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(setOnly, "v", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
  char name[MAX_PATH];
  DWORD length = MAX_PATH;
  EXPECT_EQ(RegEnumKeyExA(setOnly, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegSetValueExA(setOnly, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(setOnly, "v"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(setOnly, "v"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(setOnly);
}

TEST_F(RegistryApiTest, DeleteKeysAndDeletedHandles) {
  HKEY child = nullptr;
  ASSERT_EQ(RegCreateKeyExA(m_key, "Parent\\Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(m_key, "Parent"), ERROR_ACCESS_DENIED) << "a key with sub keys stays";
  EXPECT_EQ(RegDeleteKeyA(m_key, "Parent\\Missing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(m_key, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegDeleteKeyA(m_key, "PARENT\\child"), ERROR_SUCCESS);

  DWORD size = 0;
  EXPECT_EQ(RegSetValueExA(child, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_KEY_DELETED);
  EXPECT_EQ(RegQueryValueExA(child, "v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  HKEY grandChild = nullptr;
  EXPECT_EQ(RegCreateKeyExA(child, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &grandChild, nullptr),
            ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);

  // Deleting "" deletes the handle's own key.
  HKEY parent = nullptr;
  ASSERT_EQ(RegOpenKeyExA(m_key, "Parent", 0, KEY_ALL_ACCESS, &parent), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(parent, ""), ERROR_SUCCESS);
  RegCloseKey(parent);
  EXPECT_EQ(RegOpenKeyExA(m_key, "Parent", 0, KEY_READ, &parent), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryApiTest, BadHandlesAndPredefinedRoots) {
  HKEY bogus = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(bogus, "x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS)
      << "a predefined root stays usable after RegCloseKey";
  RegCloseKey(key);
}

}  // namespace
}  // namespace tavlen::test
