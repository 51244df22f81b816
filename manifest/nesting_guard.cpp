#include "manifest/nesting_guard.h"

#include <utility>
#include <vector>

namespace {

constexpr std::size_t kNone = std::string::npos;

// How the reader steps over the characters of texts and attribute values:
// byte by byte until it knows the text is UTF-8, then by UTF-8 sequence.
enum class Stepping { Bytes, Utf8 };

enum class NodeKind { Declaration, Comment, Cdata, Unknown, Element };

bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The reader takes every byte from 127 up for a letter.
bool IsNameStart(unsigned char c) { return c >= 127 || IsAsciiLetter(c) || c == '_'; }

bool IsNameChar(unsigned char c) {
  return c >= 127 || IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == ':';
}

std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0xC2) return 1;
  if (lead <= 0xDF) return 2;
  if (lead <= 0xEF) return 3;
  if (lead <= 0xF4) return 4;
  return 1;
}

unsigned char LowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// True when text begins with prefix, ASCII letters compared without case.
bool StartsWithNoCase(const std::string& text, const char* prefix) {
  std::size_t i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (i >= text.size() || LowerAscii(static_cast<unsigned char>(text[i])) != LowerAscii(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

class NestingScanner {
 public:
  NestingScanner(const std::string& text, std::size_t limit, Stepping afterDeclaration)
      : m_text(text), m_limit(limit), m_afterDeclaration(afterDeclaration) {}

  // Offset of the first element nested too deep, or kNone.
  std::size_t Run();
  // True when a top-level declaration switched the stepping during Run.
  bool SteppingSwitched() const { return m_switched; }

 private:
  unsigned char At(std::size_t i) const {
    return i < m_text.size() ? static_cast<unsigned char>(m_text[i]) : 0;
  }
  bool Starts(std::size_t i, const char* tag, bool ignoreCase = false) const;
  std::size_t SkipSpace(std::size_t i) const;
  std::size_t Step(std::size_t i) const { return i + (m_stepping == Stepping::Utf8 ? Utf8Length(At(i)) : 1); }
  NodeKind Identify(std::size_t i) const;

  std::size_t ReadName(std::size_t i) const;
  std::size_t ReadQuoted(std::size_t i, const char* end) const;
  std::size_t ParseText(std::size_t i) const;
  std::size_t ParseAttribute(std::size_t i, std::string* rawValue = nullptr) const;
  std::size_t ParseDeclaration(std::size_t i, std::string* encoding = nullptr) const;
  std::size_t ParseLeaf(NodeKind kind, std::size_t i) const;
  std::size_t ParseElementTree(std::size_t i);

  const std::string& m_text;
  const std::size_t m_limit;
  const Stepping m_afterDeclaration;
  Stepping m_stepping = Stepping::Bytes;
  bool m_unknownEncoding = true;
  bool m_switched = false;
  std::size_t m_tooDeep = kNone;
};

bool NestingScanner::Starts(std::size_t i, const char* tag, bool ignoreCase) const {
  for (; *tag != '\0'; ++i, ++tag) {
    const unsigned char c = At(i);
    if (c == 0) return false;
    const auto t = static_cast<unsigned char>(*tag);
    if (ignoreCase ? LowerAscii(c) != LowerAscii(t) : c != t) return false;
  }
  return true;
}

std::size_t NestingScanner::SkipSpace(std::size_t i) const {
  while (At(i) != 0) {
    // Under UTF-8 the reader also steps over byte-order marks and U+FFFE/U+FFFF.
    if (m_stepping == Stepping::Utf8 && At(i) == 0xEF &&
        ((At(i + 1) == 0xBB && At(i + 2) == 0xBF) || (At(i + 1) == 0xBF && (At(i + 2) == 0xBE || At(i + 2) == 0xBF)))) {
      i += 3;
    } else if (IsSpace(At(i))) {
      ++i;
    } else {
      break;
    }
  }
  return i;
}

NodeKind NestingScanner::Identify(std::size_t i) const {
  if (Starts(i, "<?xml", true)) return NodeKind::Declaration;
  if (Starts(i, "<!--")) return NodeKind::Comment;
  if (Starts(i, "<![CDATA[")) return NodeKind::Cdata;
  if (Starts(i, "<!")) return NodeKind::Unknown;
  if (IsNameStart(At(i + 1))) return NodeKind::Element;
  return NodeKind::Unknown;
}

std::size_t NestingScanner::ReadName(std::size_t i) const {
  if (!IsNameStart(At(i))) return kNone;
  while (At(i) != 0 && IsNameChar(At(i))) ++i;
  return i;
}

// A text that keeps its white space, up to and past end; kNone when the
// text ends first or right after end (the reader fails in both cases).
std::size_t NestingScanner::ReadQuoted(std::size_t i, const char* end) const {
  while (At(i) != 0 && !Starts(i, end)) i = Step(i);
  if (At(i) == 0) return kNone;
  i += std::char_traits<char>::length(end);
  return At(i) != 0 ? i : kNone;
}

// Element text up to the next '<'; returns the position of that '<'.
std::size_t NestingScanner::ParseText(std::size_t i) const {
  i = SkipSpace(i);
  while (At(i) != 0 && At(i) != '<') i = IsSpace(At(i)) ? i + 1 : Step(i);
  if (At(i) == 0 || At(i + 1) == 0) return kNone;
  return i;
}

// rawValue receives the value's bytes as written, entities undecoded.
std::size_t NestingScanner::ParseAttribute(std::size_t i, std::string* rawValue) const {
  i = SkipSpace(i);
  if (At(i) == 0) return kNone;
  i = ReadName(i);
  if (i == kNone || At(i) == 0) return kNone;
  i = SkipSpace(i);
  if (At(i) != '=') return kNone;
  i = SkipSpace(i + 1);
  const std::size_t valueStart = i;
  std::size_t end = kNone;
  if (At(i) == '\'' || At(i) == '"') {
    const char quote[2] = {static_cast<char>(At(i)), '\0'};
    end = ReadQuoted(i + 1, quote);
    if (end != kNone && rawValue != nullptr) *rawValue = m_text.substr(valueStart + 1, end - valueStart - 2);
    return end;
  }
  // Unquoted values end at white space, '/' or '>'; a quote inside is an error.
  while (At(i) != 0 && !IsSpace(At(i)) && At(i) != '/' && At(i) != '>') {
    if (At(i) == '\'' || At(i) == '"') return kNone;
    ++i;
  }
  if (rawValue != nullptr) *rawValue = m_text.substr(valueStart, i - valueStart);
  return i;
}

// encoding receives the raw value of the last "encoding" attribute, if any.
std::size_t NestingScanner::ParseDeclaration(std::size_t i, std::string* encoding) const {
  i += 5;
  while (At(i) != 0) {
    if (At(i) == '>') return i + 1;
    i = SkipSpace(i);
    if (At(i) == 0) break;
    if (Starts(i, "version", true) || Starts(i, "standalone", true)) {
      i = ParseAttribute(i);
      if (i == kNone) return kNone;
    } else if (Starts(i, "encoding", true)) {
      i = ParseAttribute(i, encoding);
      if (i == kNone) return kNone;
    } else {
      while (At(i) != 0 && At(i) != '>' && !IsSpace(At(i))) ++i;
    }
  }
  return kNone;
}

// Comments, CDATA sections and unknown tags: the reader skips them byte by byte.
std::size_t NestingScanner::ParseLeaf(NodeKind kind, std::size_t i) const {
  if (kind == NodeKind::Declaration) return ParseDeclaration(i);
  if (kind == NodeKind::Comment) {
    i += 4;
    while (At(i) != 0 && !Starts(i, "-->")) ++i;
    return At(i) != 0 ? i + 3 : i;
  }
  if (kind == NodeKind::Cdata) {
    i += 9;
    while (At(i) != 0 && !Starts(i, "]]>")) ++i;
    return ReadQuoted(i, "]]>");
  }
  ++i;
  while (At(i) != 0 && At(i) != '>') ++i;
  return At(i) == '>' ? i + 1 : i;
}

// One top-level element with everything inside it, without recursion: open
// holds the name (offset, length) of each element the reader has open.
std::size_t NestingScanner::ParseElementTree(std::size_t i) {
  std::vector<std::pair<std::size_t, std::size_t>> open;
  while (true) {
    const std::size_t tagStart = i;
    const std::size_t nameStart = SkipSpace(i + 1);
    i = ReadName(nameStart);
    if (i == kNone || At(i) == 0) return kNone;
    const std::size_t nameLength = i - nameStart;
    bool opened = false;
    while (true) {
      i = SkipSpace(i);
      if (At(i) == 0) return kNone;
      if (At(i) == '/') {
        if (At(i + 1) != '>') return kNone;
        i += 2;
        break;
      }
      if (At(i) == '>') {
        ++i;
        opened = true;
        break;
      }
      i = ParseAttribute(i);
      if (i == kNone || At(i) == 0) return kNone;
    }
    if (opened) {
      if (open.size() >= m_limit) {
        m_tooDeep = tagStart;
        return kNone;
      }
      open.emplace_back(nameStart, nameLength);
    } else if (open.empty()) {
      return i;
    }
    // The content of the innermost open element, up to its next child element.
    while (true) {
      i = SkipSpace(i);
      if (At(i) == 0) return kNone;
      if (At(i) != '<') {
        i = ParseText(i);
        if (i == kNone) return kNone;
        continue;
      }
      if (Starts(i, "</")) {
        const auto [start, length] = open.back();
        if (m_text.compare(i + 2, length, m_text, start, length) != 0) return kNone;
        i = SkipSpace(i + 2 + length);
        if (At(i) != '>') return kNone;
        ++i;
        open.pop_back();
        if (open.empty()) return i;
        continue;
      }
      const NodeKind kind = Identify(i);
      if (kind == NodeKind::Element) break;
      i = ParseLeaf(kind, i);
      if (i == kNone) return kNone;
    }
  }
}

std::size_t NestingScanner::Run() {
  if (At(0) == 0xEF && At(1) == 0xBB && At(2) == 0xBF) {
    m_stepping = Stepping::Utf8;
    m_unknownEncoding = false;
  }
  std::size_t i = SkipSpace(0);
  while (At(i) == '<') {
    const NodeKind kind = Identify(i);
    std::string encoding;
    if (kind == NodeKind::Element) {
      i = ParseElementTree(i);
    } else if (kind == NodeKind::Declaration) {
      i = ParseDeclaration(i, &encoding);
    } else {
      i = ParseLeaf(kind, i);
    }
    if (i == kNone) break;
    // The first top-level declaration fixes the reader's encoding: UTF-8 when
    // it names none or names UTF-8 (or UTF8), byte by byte otherwise.
    if (kind == NodeKind::Declaration && m_unknownEncoding) {
      m_unknownEncoding = false;
      if (encoding.find('&') != std::string::npos) {
        // The reader would decode entities in the name: leave the outcome open.
        m_stepping = m_afterDeclaration;
        m_switched = true;
      } else {
        m_stepping = encoding.empty() || StartsWithNoCase(encoding, "UTF-8") || StartsWithNoCase(encoding, "UTF8") ? Stepping::Utf8
                                                                                               : Stepping::Bytes;
      }
    }
    i = SkipSpace(i);
  }
  return m_tooDeep;
}

}  // namespace

std::size_t FindExcessNesting(const std::string& text, std::size_t limit) {
  // A declaration whose encoding is written with entities leaves the
  // stepping after it open: then the text is scanned under both outcomes.
  NestingScanner utf8(text, limit, Stepping::Utf8);
  const std::size_t found = utf8.Run();
  if (found != kNone || !utf8.SteppingSwitched()) return found;
  return NestingScanner(text, limit, Stepping::Bytes).Run();
}

void TextPosition(const std::string& text, std::size_t offset, int& row, int& column) {
  row = 1;
  column = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++row;
      column = 1;
    } else {
      ++column;
    }
  }
}
