// Writing REGEDIT4 files: the registry's bytes go into the file unchanged
// (code page 936), so a file imports back to exactly the same values.
#include <cstdio>

#include "tools/tavlen-reg/reg_file.h"
#include "tools/tavlen-reg/text_encoding.h"

namespace tavlen::reg {

namespace {

const char kNewLine[] = "\r\n";
// Hex lists are wrapped before this column, as the Windows editor does.
constexpr std::size_t kLineWidth = 77;

// The text in double quotes, with backslashes and quotes escaped (the trail
// byte of a double-byte character is never escaped).
std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) {
      out.append(text, i++, 2);
      continue;
    }
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// A REG_SZ that a quoted string gives back byte for byte: whole characters,
// no control characters, exactly one terminating zero.
bool IsPlainString(const std::string& data) {
  if (data.empty() || data.back() != '\0') return false;
  const std::string text = data.substr(0, data.size() - 1);
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return IsWholeCp936(text);
}

std::string HexList(const std::string& prefix, const std::string& data) {
  std::string out = prefix;
  std::size_t column = prefix.size();
  for (std::size_t i = 0; i < data.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(data[i]));
    out += byte;
    column += 2;
    if (i + 1 == data.size()) break;
    out += ',';
    ++column;
    if (column >= kLineWidth - 3) {
      out += "\\";
      out += kNewLine;
      out += "  ";
      column = 2;
    }
  }
  return out;
}

std::string ValueData(const RegEdit& edit) {
  if (edit.type == REG_SZ && IsPlainString(edit.data)) return Quote(edit.data.substr(0, edit.data.size() - 1));
  if (edit.type == REG_DWORD && edit.data.size() == 4) {
    DWORD value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(edit.data[i]);
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(value));
    return text;
  }
  if (edit.type == REG_BINARY) return HexList("hex:", edit.data);
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(edit.type));
  return HexList(prefix, edit.data);
}

}  // namespace

std::string WriteRegFile(const std::vector<RegEdit>& edits) {
  std::string out = std::string("REGEDIT4") + kNewLine;
  for (const RegEdit& edit : edits) {
    const std::string name = edit.name.empty() ? "@" : Quote(edit.name);
    switch (edit.kind) {
      case RegEdit::Kind::kCreateKey:
        out += kNewLine + ("[" + edit.key.FullName() + "]") + kNewLine;
        break;
      case RegEdit::Kind::kDeleteKey:
        out += kNewLine + ("[-" + edit.key.FullName() + "]") + kNewLine;
        break;
      case RegEdit::Kind::kSetValue:
        out += name + "=" + ValueData(edit) + kNewLine;
        break;
      case RegEdit::Kind::kDeleteValue:
        out += name + "=-" + kNewLine;
        break;
    }
  }
  return out + kNewLine;
}

}  // namespace tavlen::reg
