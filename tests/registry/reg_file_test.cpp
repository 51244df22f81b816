// The .reg reader and writer of tavlen-reg (a Linux-only tool).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/tavlen-reg/reg_file.h"

namespace tavlen::reg {
namespace {

const std::string kHeader4 = "REGEDIT4\r\n\r\n";

// UTF-16LE bytes with the mark, as the Windows editor saves a file.
std::string Utf16File(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST(RegFileTest, UnparsableFilesAreRefusedWithTheirLineNumber) {
  struct Case {
    std::string file;
    int line;
  };
  const Case cases[] = {
      {"hello\r\n[HKEY_CURRENT_USER\\a]\r\n", 1},
      {"\r\n\r\nREGEDIT 4\r\n", 3},
      {kHeader4 + "[HKEY_NOWHERE\\a]\r\n", 3},
      {kHeader4 + "\"v\"=\"x\"\r\n", 3},
      {kHeader4 + "[HKCU\\a\r\n", 3},
      {kHeader4 + "[-HKEY_CURRENT_USER]\r\n", 3},
      {kHeader4 + "[HKCU\\a]\r\n\"v\"=dword:123456789\r\n", 4},
      {kHeader4 + "[HKCU\\a]\r\n\"v\"=dword:\r\n", 4},
      {kHeader4 + "[HKCU\\a]\r\n\"v\"=hex:0g\r\n", 4},
      {kHeader4 + "[HKCU\\a]\r\n\"v\"=hex:100\r\n", 4},
      {kHeader4 + "[HKCU\\a]\r\n\"v\"=hex(zz):00\r\n", 4},
      {kHeader4 + "[HKCU\\a]\r\n\"v\"=\"open\r\n", 4},
      {kHeader4 + "[HKCU\\a]\r\n\"v\"=\"x\" junk\r\n", 4},
      {kHeader4 + "[HKCU\\a]\r\n\"v\"=str:abc\r\n", 4},
      {kHeader4 + "[HKCU\\a]\r\n\"v\" \"x\"\r\n", 4},
      {kHeader4 + "[HKCU\\a]\r\njunk\r\n", 4},
      {kHeader4 + "[-HKCU\\a]\r\n\"v\"=\"x\"\r\n", 4},
      // A continued value is reported at the line where it starts.
      {kHeader4 + "[HKCU\\a]\r\n\r\n\"v\"=hex:01,\\\r\n  02,\\\r\n  zz\r\n", 5},
      {Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\a]\r\n\"v\"=\"\U0001F600\"\r\n"), 4},
      {Utf16File(u"Windows Registry Editor Version 5.00\r\n[HKCU\\a]\r\n\"v\"=hex(2):41\r\n"), 3},
  };
  for (const Case& c : cases) {
    RegFile file;
    int line = 0;
    std::string error;
    EXPECT_FALSE(ParseRegFile(c.file, file, line, error)) << c.file;
    EXPECT_EQ(line, c.line) << c.file << " -> " << error;
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(file.edits.empty());
  }
}

TEST(RegFileTest, ParsesEveryNotationInBothFormats) {
  const std::string regedit4 = kHeader4 +
                               "; a comment\r\n"
                               "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
                               "[hkcu\\Software\\中文\\]\r\n"
                               "@=\"C:\\\\Program Files\\\\\\\"x\\\"\"\r\n"
                               "\"乗\\\\\"=\"乗\\\\乗\"\r\n"
                               "\"n\" = dword:0000abCD\r\n"
                               "\"b\"=hex:00,01,\\\r\n"
                               "    fe,ff\r\n"
                               "\"e\"=hex(2):25,00\r\n"
                               "\"q\"=hex(b):01,02,03,04,05,06,07,08\r\n"
                               "\"none\"=hex(0):\r\n"
                               "\"gone\"=-\r\n";
  const std::string version5 = Utf16File(
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"; a comment\r\n"
      u"[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
      u"[hkcu\\Software\\中文\\]\r\n"
      u"@=\"C:\\\\Program Files\\\\\\\"x\\\"\"\r\n"
      u"\"乗\\\\\"=\"乗\\\\乗\"\r\n"
      u"\"n\" = dword:0000abCD\r\n"
      u"\"b\"=hex:00,01,\\\r\n"
      u"    fe,ff\r\n"
      u"\"e\"=hex(2):25,00,00,00\r\n"
      u"\"q\"=hex(b):01,02,03,04,05,06,07,08\r\n"
      u"\"none\"=hex(0):\r\n"
      u"\"gone\"=-\r\n");
  // u8 literals are UTF-8 whatever the execution character set.
  const std::string utf8 = "\xEF\xBB\xBF" + std::string(reinterpret_cast<const char*>(
                                                 u8"Windows Registry Editor Version 5.00\r\n"
                                                 u8"; a comment\r\n"
                                                 u8"[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
                                                 u8"[hkcu\\Software\\中文\\]\r\n"
                                                 u8"@=\"C:\\\\Program Files\\\\\\\"x\\\"\"\r\n"
                                                 u8"\"乗\\\\\"=\"乗\\\\乗\"\r\n"
                                                 u8"\"n\" = dword:0000abCD\r\n"
                                                 u8"\"b\"=hex:00,01,\\\r\n"
                                                 u8"    fe,ff\r\n"
                                                 u8"\"e\"=hex(2):25,00,00,00\r\n"
                                                 u8"\"q\"=hex(b):01,02,03,04,05,06,07,08\r\n"
                                                 u8"\"none\"=hex(0):\r\n"
                                                 u8"\"gone\"=-\r\n"));

  struct Expected {
    RegEdit::Kind kind;
    std::string name;
    DWORD type;
    std::string data;
  };
  using K = RegEdit::Kind;
  const std::vector<Expected> expected = {
      {K::kDeleteKey, "", REG_NONE, ""},
      {K::kCreateKey, "", REG_NONE, ""},
      {K::kSetValue, "", REG_SZ, std::string("C:\\Program Files\\\"x\"\0", 21)},
      {K::kSetValue, "乗\\", REG_SZ, std::string("乗\\乗") + '\0'},
      {K::kSetValue, "n", REG_DWORD, std::string("\xCD\xAB\0\0", 4)},
      {K::kSetValue, "b", REG_BINARY, std::string("\x00\x01\xFE\xFF", 4)},
      {K::kSetValue, "e", REG_EXPAND_SZ, std::string("%\0", 2)},
      {K::kSetValue, "q", REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x08"},
      {K::kSetValue, "none", REG_NONE, ""},
      {K::kDeleteValue, "gone", REG_NONE, ""},
  };
  for (const std::string* bytes : {&regedit4, &version5, &utf8}) {
    RegFile file;
    int line = 0;
    std::string error;
    ASSERT_TRUE(ParseRegFile(*bytes, file, line, error)) << line << ": " << error;
    ASSERT_EQ(file.edits.size(), expected.size());
    EXPECT_EQ(file.edits[0].key.FullName(), "HKEY_CURRENT_USER\\Software\\Old");
    EXPECT_EQ(file.edits[1].key.FullName(), "HKEY_CURRENT_USER\\Software\\中文");
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(file.edits[i].kind, expected[i].kind) << i;
      EXPECT_EQ(file.edits[i].name, expected[i].name) << i;
      if (expected[i].kind == K::kSetValue) {
        EXPECT_EQ(file.edits[i].type, expected[i].type) << i;
        EXPECT_EQ(file.edits[i].data, expected[i].data) << i;
      }
    }
  }
}

TEST(RegFileTest, WrittenFilesParseBackToTheSameBytes) {
  KeyPath key;
  ASSERT_TRUE(ParseKeyPath("HKLM\\SOFTWARE\\TAVLEN\\乗\\x", key));
  struct Value {
    std::string name;
    DWORD type;
    std::string data;
  };
  const std::vector<Value> values = {
      {"", REG_SZ, std::string("D:\\Tavlen\\", 10) + '\0'},
      {"quote\"back\\slash", REG_SZ, std::string("\"q\" \\ 乗") + '\0'},
      {"no terminator", REG_SZ, "abc"},
      {"inner zero", REG_SZ, std::string("a\0b\0", 4)},
      {"line break", REG_SZ, std::string("a\r\nb\0", 5)},
      {"half character", REG_SZ, std::string("a\x81\0", 3)},
      {"empty", REG_SZ, ""},
      {"cert", REG_BINARY, std::string("\x07\x00\x31\x20\xAA\xBB\xCC\xDD", 8)},
      {"long", REG_BINARY, std::string(300, '\x5C')},
      {"dword", REG_DWORD, "\x01\x02\x03\x04"},
      {"short dword", REG_DWORD, "\x01\x02\x03"},
      {"qword", REG_QWORD, "12345678"},
      {"multi", REG_MULTI_SZ, std::string("中\0文\0\0", 6)},
      {"odd type", 0x12345, "\xFF"},
  };
  std::vector<RegEdit> edits(1);
  edits[0].kind = RegEdit::Kind::kCreateKey;
  edits[0].key = key;
  for (const Value& value : values) {
    RegEdit edit;
    edit.kind = RegEdit::Kind::kSetValue;
    edit.key = key;
    edit.name = value.name;
    edit.type = value.type;
    edit.data = value.data;
    edits.push_back(edit);
  }
  const std::string text = WriteRegFile(edits);
  RegFile file;
  int line = 0;
  std::string error;
  ASSERT_TRUE(ParseRegFile(text, file, line, error)) << line << ": " << error << "\n" << text;
  EXPECT_EQ(file.format, RegFileFormat::kRegedit4);
  ASSERT_EQ(file.edits.size(), edits.size());
  EXPECT_EQ(file.edits[0].key.FullName(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\TAVLEN\\乗\\x");
  for (std::size_t i = 1; i < edits.size(); ++i) {
    EXPECT_EQ(file.edits[i].name, edits[i].name) << i;
    EXPECT_EQ(file.edits[i].type, edits[i].type) << edits[i].name;
    EXPECT_EQ(file.edits[i].data, edits[i].data) << edits[i].name;
  }
}

}  // namespace
}  // namespace tavlen::reg
