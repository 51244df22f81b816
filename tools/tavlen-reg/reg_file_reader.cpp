// Reading .reg files: the file is decoded to code page 936 lines, joined at
// trailing backslashes, and every line is parsed before anything is applied.
#include <strings.h>

#include <cctype>
#include <cstring>

#include "tools/tavlen-reg/reg_file.h"
#include "tools/tavlen-reg/text_encoding.h"

namespace tavlen::reg {

namespace {

const char kHeader4[] = "REGEDIT4";
const char kHeader5[] = "Windows Registry Editor Version 5.00";

struct Line {
  std::string text;
  int number;
};

struct Failure {
  int line;
  std::string message;
};

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

std::string TrimRight(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string TrimLeft(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  return text.substr(start);
}

// Splits bytes at LF; the pieces keep any CR (trimmed later).
std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Splits UTF-16 text (little-endian unless bigEndian) at U+000A.
std::vector<std::string> SplitUtf16Lines(const std::string& bytes, bool bigEndian) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned char low = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    const unsigned char high = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    if (low == '\n' && high == 0) {
      lines.emplace_back();
    } else {
      lines.back().append(bytes, i, 2);
    }
  }
  return lines;
}

// Decodes the file into lines of code page 936; the format is decided by
// the byte-order mark and, without one, by the header line.
bool DecodeLines(const std::string& bytes, std::vector<Line>& lines, Failure& failure) {
  std::vector<std::string> raw;
  const char* encoding = nullptr;  // null: the bytes already are code page 936
  if (bytes.size() >= 2 && (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)) {
    const bool bigEndian = bytes[0] == '\xFE';
    if (bytes.size() % 2 != 0) {
      failure = {1, "the UTF-16 file has an odd number of bytes"};
      return false;
    }
    raw = SplitUtf16Lines(bytes.substr(2), bigEndian);
    encoding = bigEndian ? "UTF-16BE" : "UTF-16LE";
  } else if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    raw = SplitLines(bytes.substr(3));
    encoding = "UTF-8";
  } else {
    raw = SplitLines(bytes);
    std::string ignored;
    // A version 5 file without a mark is UTF-8 when it is valid UTF-8.
    if (StartsWith(TrimLeft(bytes), kHeader5) && ConvertText("UTF-8", "UTF-16LE", bytes, ignored)) {
      encoding = "UTF-8";
    }
  }
  for (std::size_t i = 0; i < raw.size(); ++i) {
    Line line{raw[i], static_cast<int>(i + 1)};
    if (encoding != nullptr && !ConvertText(encoding, "CP936", raw[i], line.text)) {
      failure = {line.number, "the line holds a character that code page 936 cannot represent"};
      return false;
    }
    lines.push_back(std::move(line));
  }
  return true;
}

// True when the line ends with a backslash outside any quoted string: the
// value goes on in the next line.
bool ContinuesOnNextLine(const std::string& line) {
  bool quoted = false;
  bool lastIsBackslash = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    lastIsBackslash = false;
    const char c = line[i];
    if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < line.size()) {
      ++i;
    } else if (quoted && c == '\\' && i + 1 < line.size()) {
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == '\\') {
      lastIsBackslash = !quoted;
    }
  }
  return lastIsBackslash;
}

// Reads a quoted string at text[pos] == '"', with \\ and \" escapes; other
// backslashes are kept as they are. pos ends after the closing quote.
bool ReadQuoted(const std::string& text, std::size_t& pos, std::string& out) {
  out.clear();
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (IsLeadByte(static_cast<unsigned char>(c)) && pos + 1 < text.size()) {
      out.append(text, pos++, 2);
    } else if (c == '\\' && pos + 1 < text.size() && (text[pos + 1] == '\\' || text[pos + 1] == '"')) {
      out += text[++pos];
    } else if (c == '"') {
      ++pos;
      return true;
    } else {
      out += c;
    }
  }
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A number of 1 to 8 hex digits; the whole text must be used.
bool ParseHexNumber(const std::string& text, DWORD& value) {
  if (text.empty() || text.size() > 8) return false;
  value = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    value = (value << 4) | static_cast<DWORD>(digit);
  }
  return true;
}

// "aa,bb,..." (spaces allowed, one trailing comma tolerated).
bool ParseHexBytes(const std::string& text, std::string& bytes) {
  bytes.clear();
  std::size_t pos = 0;
  const std::string list = TrimRight(TrimLeft(text));
  if (list.empty()) return true;
  while (pos <= list.size()) {
    std::size_t comma = list.find(',', pos);
    if (comma == std::string::npos) comma = list.size();
    const std::string item = TrimRight(TrimLeft(list.substr(pos, comma - pos)));
    const bool last = comma == list.size();
    pos = comma + 1;
    if (item.empty() && last && !bytes.empty()) break;
    DWORD value = 0;
    if (item.size() > 2 || !ParseHexNumber(item, value)) return false;
    bytes += static_cast<char>(value);
  }
  return true;
}

class Parser {
 public:
  Parser(RegFile& file, Failure& failure) : m_file(file), m_failure(failure) {}

  bool Parse(const std::vector<Line>& lines) {
    std::size_t index = 0;
    if (!ReadHeader(lines, index)) return false;
    while (index < lines.size()) {
      const int number = lines[index].number;
      std::string text = TrimLeft(TrimRight(lines[index++].text));
      while (ContinuesOnNextLine(text) && index < lines.size()) {
        text.pop_back();
        text += TrimLeft(TrimRight(lines[index++].text));
      }
      if (!ParseLine(text, number)) return false;
    }
    return true;
  }

 private:
  bool Fail(int line, const std::string& message) {
    m_failure = {line, message};
    return false;
  }

  bool ReadHeader(const std::vector<Line>& lines, std::size_t& index) {
    while (index < lines.size() && TrimLeft(TrimRight(lines[index].text)).empty()) ++index;
    const std::string header = index < lines.size() ? TrimLeft(TrimRight(lines[index].text)) : std::string();
    const int number = index < lines.size() ? lines[index].number : 1;
    if (header == kHeader4) {
      m_file.format = RegFileFormat::kRegedit4;
    } else if (header == kHeader5) {
      m_file.format = RegFileFormat::kVersion5;
    } else {
      return Fail(number, std::string("the file does not start with \"") + kHeader4 + "\" or \"" + kHeader5 + "\"");
    }
    ++index;
    return true;
  }

  bool ParseLine(const std::string& text, int number) {
    if (text.empty() || text[0] == ';') return true;
    if (text[0] == '[') return ParseKeyLine(text, number);
    if (text[0] == '"' || text[0] == '@') return ParseValueLine(text, number);
    return Fail(number, "expected a [key] line, a value line or a comment");
  }

  bool ParseKeyLine(const std::string& text, int number) {
    if (text.back() != ']') return Fail(number, "the key line does not end with ']'");
    std::string name = text.substr(1, text.size() - 2);
    const bool remove = !name.empty() && name[0] == '-';
    if (remove) name.erase(0, 1);
    RegEdit edit;
    edit.line = number;
    edit.kind = remove ? RegEdit::Kind::kDeleteKey : RegEdit::Kind::kCreateKey;
    if (!ParseKeyPath(name, edit.key)) return Fail(number, "unknown root key in \"" + name + "\"");
    if (remove && edit.key.subKey.empty()) return Fail(number, "a root key cannot be deleted");
    m_key = edit.key;
    m_haveKey = true;
    m_keyDeleted = remove;
    m_file.edits.push_back(std::move(edit));
    return true;
  }

  bool ParseValueLine(const std::string& text, int number) {
    if (!m_haveKey) return Fail(number, "a value comes before any [key] line");
    if (m_keyDeleted) return Fail(number, "a value is given for a key that is being deleted");
    RegEdit edit;
    edit.line = number;
    edit.key = m_key;
    std::size_t pos = 0;
    if (text[0] == '@') {
      pos = 1;
    } else if (!ReadQuoted(text, pos, edit.name)) {
      return Fail(number, "the value name has no closing quote");
    }
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (pos >= text.size() || text[pos] != '=') return Fail(number, "expected '=' after the value name");
    const std::string value = TrimLeft(text.substr(pos + 1));
    if (!ParseValue(value, edit, number)) return false;
    m_file.edits.push_back(std::move(edit));
    return true;
  }

  bool ParseValue(const std::string& value, RegEdit& edit, int number) {
    edit.kind = RegEdit::Kind::kSetValue;
    if (value == "-") {
      edit.kind = RegEdit::Kind::kDeleteValue;
      return true;
    }
    if (!value.empty() && value[0] == '"') {
      std::size_t pos = 0;
      if (!ReadQuoted(value, pos, edit.data)) return Fail(number, "the string value has no closing quote");
      if (!TrimLeft(value.substr(pos)).empty()) return Fail(number, "unexpected text after the string value");
      edit.type = REG_SZ;
      edit.data += '\0';
      return true;
    }
    if (strncasecmp(value.c_str(), "dword:", 6) == 0) {
      DWORD number32 = 0;
      if (!ParseHexNumber(value.substr(6), number32)) return Fail(number, "dword: needs 1 to 8 hex digits");
      edit.type = REG_DWORD;
      edit.data.clear();
      for (int i = 0; i < 4; ++i) edit.data += static_cast<char>((number32 >> (8 * i)) & 0xFF);
      return true;
    }
    std::string list;
    if (strncasecmp(value.c_str(), "hex:", 4) == 0) {
      edit.type = REG_BINARY;
      list = value.substr(4);
    } else if (strncasecmp(value.c_str(), "hex(", 4) == 0) {
      const std::size_t close = value.find("):", 4);
      if (close == std::string::npos || !ParseHexNumber(value.substr(4, close - 4), edit.type)) {
        return Fail(number, "hex(N): needs the type N as 1 to 8 hex digits");
      }
      list = value.substr(close + 2);
    } else {
      return Fail(number, "unknown value data: expected \"text\", -, dword:, hex: or hex(N):");
    }
    if (!ParseHexBytes(list, edit.data)) return Fail(number, "the hex bytes must be pairs of hex digits separated by commas");
    return DecodeUnicodeText(edit, number);
  }

  // Version 5 files hold the text types' bytes as UTF-16LE; the registry
  // here keeps them in code page 936.
  bool DecodeUnicodeText(RegEdit& edit, int number) {
    const bool text = edit.type == REG_SZ || edit.type == REG_EXPAND_SZ || edit.type == REG_MULTI_SZ;
    if (m_file.format != RegFileFormat::kVersion5 || !text) return true;
    std::string converted;
    if (edit.data.size() % 2 != 0 || !ConvertText("UTF-16LE", "CP936", edit.data, converted)) {
      return Fail(number, "the text's UTF-16 bytes cannot be converted to code page 936");
    }
    edit.data = std::move(converted);
    return true;
  }

  RegFile& m_file;
  Failure& m_failure;
  KeyPath m_key;
  bool m_haveKey = false;
  bool m_keyDeleted = false;
};

}  // namespace

bool ParseRegFile(const std::string& bytes, RegFile& file, int& errorLine, std::string& error) {
  file = RegFile();
  Failure failure{0, ""};
  std::vector<Line> lines;
  if (DecodeLines(bytes, lines, failure) && Parser(file, failure).Parse(lines)) return true;
  errorLine = failure.line;
  error = failure.message;
  file = RegFile();
  return false;
}

}  // namespace tavlen::reg
