// Linux only (tavlen-reg is the Linux build's tool): import, export and the
// refusal of files that cannot be parsed, through the built program.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/posix/prefix.h"
#include "platform/posix/win_registry.h"
#include "tests/registry/child_process.h"

namespace tavlen::test {
namespace {

const char kBase[] = "HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool";
const char kBaseBelowRoot[] = "Software\\TavlenTest\\Tool";

std::string Hex(const std::string& bytes) {
  std::string out;
  char pair[4];
  for (char c : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
    out += pair;
  }
  return out;
}

// Every key, value, type and byte below a path of HKEY_CURRENT_USER, one line each.
void Dump(const std::string& path, std::string& out) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  out += "[" + path + "]\n";
  char name[MAX_PATH];
  BYTE data[4096];
  for (DWORD index = 0;; ++index) {
    DWORD length = MAX_PATH;
    DWORD type = 0;
    DWORD size = sizeof data;
    if (RegEnumValueA(key, index, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    out += std::string(name) + " " + std::to_string(type) + " " + Hex(std::string(reinterpret_cast<char*>(data), size)) + "\n";
  }
  std::vector<std::string> children;
  for (DWORD index = 0;; ++index) {
    DWORD length = MAX_PATH;
    if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(name, length);
  }
  RegCloseKey(key);
  for (const std::string& child : children) Dump(path + "\\" + child, out);
}

std::string Utf16File(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

class RegToolTest : public testing::Test {
 protected:
  void SetUp() override {
    m_folder = tavlen::posix::PrefixFolder() + "/tool-test";
    std::filesystem::create_directories(m_folder);
    ASSERT_EQ(Tool({"delete", kBase, "/f"}).status == 0 || !KeyExists(kBaseBelowRoot), true);
  }
  void TearDown() override {
    Tool({"delete", kBase, "/f"});
    std::filesystem::remove_all(m_folder);
  }

  static ProcessResult Tool(std::vector<std::string> args) {
    args.insert(args.begin(), TAVLEN_REG_TOOL);
    return RunProcess(args);
  }
  static bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  std::string File(const std::string& name, const std::string& bytes) const {
    const std::string path = m_folder + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path;
  }

  std::string m_folder;
};

TEST_F(RegToolTest, ImportOfBothFormatsThenExportRoundTrip) {
  // The same installation in both formats; the text types' hex bytes are
  // UTF-16LE in version 5 and code page 936 in REGEDIT4.
  const std::string regedit4 =
      "REGEDIT4\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\Gone\\Child]\r\n"
      "\"x\"=\"1\"\r\n"
      "[-HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\Gone]\r\n"
      "[HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\产品\\乗]\r\n"
      "@=\"C:\\\\Program Files\\\\泰文\\\\\"\r\n"
      "\"cert\"=hex:07,00,31,20\r\n"
      "\"n\"=dword:ffffffff\r\n"
      "\"path\"=hex(2):25,77,69,6e,25,5c,d6,d0,00\r\n"
      "\"list\"=hex(7):61,00,d6,d0,00,00\r\n"
      "\"drop\"=\"x\"\r\n"
      "\"drop\"=-\r\n"
      "[HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\产品\\Empty]\r\n";
  const std::string version5 = Utf16File(
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\Gone\\Child]\r\n"
      u"\"x\"=\"1\"\r\n"
      u"[-HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\Gone]\r\n"
      u"[HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\产品\\乗]\r\n"
      u"@=\"C:\\\\Program Files\\\\泰文\\\\\"\r\n"
      u"\"cert\"=hex:07,00,31,20\r\n"
      u"\"n\"=dword:ffffffff\r\n"
      u"\"path\"=hex(2):25,00,77,00,69,00,6e,00,25,00,5c,00,2d,4e,00,00\r\n"
      u"\"list\"=hex(7):61,00,00,00,2d,4e,00,00,00,00\r\n"
      u"\"drop\"=\"x\"\r\n"
      u"\"drop\"=-\r\n"
      u"[HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\产品\\Empty]\r\n");
  const std::string product = std::string(kBaseBelowRoot) + "\\产品";
  const std::string expected = "[" + product + "]\n[" + product + "\\Empty]\n[" + product + "\\乗]\n" +
                               " 1 " + Hex(std::string("C:\\Program Files\\泰文\\") + '\0') + "\n" +
                               "cert 3 07003120\n" + "list 7 " + Hex(std::string("a\0中\0\0", 6)) + "\n" +
                               "n 4 ffffffff\n" + "path 2 " + Hex(std::string("%win%\\中") + '\0') + "\n";

  for (const std::string* content : {&regedit4, &version5}) {
    Tool({"delete", kBase, "/f"});
    ASSERT_EQ(Tool({"add", std::string(kBase) + "\\Gone\\Old", "/v", "o", "/d", "old", "/f"}).status, 0);
    const ProcessResult import = Tool({"import", File("in.reg", *content)});
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_FALSE(KeyExists(std::string(kBaseBelowRoot) + "\\Gone"));
    std::string imported;
    Dump(product, imported);
    EXPECT_EQ(imported, expected);

    const std::string exported = m_folder + "/out.reg";
    ASSERT_EQ(Tool({"export", std::string(kBase) + "\\产品", exported, "/y"}).status, 0);
    ASSERT_EQ(Tool({"delete", kBase, "/f"}).status, 0);
    ASSERT_FALSE(KeyExists(product));
    const ProcessResult back = Tool({"import", exported});
    ASSERT_EQ(back.status, 0) << back.err;
    std::string again;
    Dump(product, again);
    EXPECT_EQ(again, expected);
  }
}

TEST_F(RegToolTest, UnparsableFileIsRefusedAndNothingIsWritten) {
  const std::string path = File("bad.reg",
                                "REGEDIT4\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\Before]\r\n"
                                "\"ok\"=\"written first if imports were not whole\"\r\n"
                                "[-HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\Keep]\r\n"
                                "[HKEY_CURRENT_USER\\Software\\TavlenTest\\Tool\\After]\r\n"
                                "\"broken\"=dword:xyz\r\n");
  ASSERT_EQ(Tool({"add", std::string(kBase) + "\\Keep", "/f"}).status, 0);
  const ProcessResult import = Tool({"import", path});
  EXPECT_NE(import.status, 0);
  EXPECT_NE(import.err.find(path + ":7:"), std::string::npos) << import.err;
  EXPECT_FALSE(KeyExists(std::string(kBaseBelowRoot) + "\\Before"));
  EXPECT_TRUE(KeyExists(std::string(kBaseBelowRoot) + "\\Keep"));
}

TEST_F(RegToolTest, CommandsReportFailures) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"query", "HKXX\\Software"}, "invalid key name"},
      {{"query", std::string(kBase) + "\\Missing"}, "does not exist"},
      {{"add", kBase, "/v", "n", "/t", "REG_DWORD", "/d", "4294967296", "/f"}, "not a number"},
      {{"add", kBase, "/v", "n", "/t", "REG_TEXT", "/f"}, "unknown type"},
      {{"add", kBase, "/x"}, "unknown switch"},
      {{"delete", "HKCU", "/f"}, "root key"},
      {{"import", "/nonexistent/file.reg"}, "cannot read"},
      {{"frobnicate"}, "unknown command"},
  };
  for (const Case& c : cases) {
    const ProcessResult result = Tool(c.args);
    EXPECT_NE(result.status, 0) << c.args[0];
    EXPECT_NE(result.err.find(c.message), std::string::npos) << c.args[0] << ": " << result.err;
  }
  // Overwriting without /f is a question; with nobody to answer, nothing changes.
  ASSERT_EQ(Tool({"add", kBase, "/v", "n", "/t", "REG_DWORD", "/d", "0x10", "/f"}).status, 0);
  EXPECT_NE(Tool({"add", kBase, "/v", "n", "/t", "REG_DWORD", "/d", "7"}).status, 0);
  const ProcessResult query = Tool({"query", kBase, "/v", "n"});
  EXPECT_EQ(query.status, 0);
  EXPECT_NE(query.out.find("n    REG_DWORD    0x10"), std::string::npos) << query.out;
}

}  // namespace
}  // namespace tavlen::test
