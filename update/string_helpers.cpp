#include "update/string_helpers.h"

#include "platform/win32.h"

namespace {

bool IsLead(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

// Index of the first character of text (from start) that is in set, stepping
// over double-byte characters; npos when none.
std::string::size_type FindFirstOf(const std::string& text, const std::string& set) {
  for (std::string::size_type i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsLead(c) && i + 1 < text.size()) {
      ++i;
      continue;
    }
    if (set.find(static_cast<char>(c)) != std::string::npos) return i;
  }
  return std::string::npos;
}

}  // namespace

std::string Trim(const std::string& text, const std::string& characters) {
  // Walks the text character by character, so a trail byte that equals a
  // trim character is never taken for one.
  std::string::size_type first = std::string::npos;
  std::string::size_type end = 0;
  for (std::string::size_type i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const bool doubleByte = IsLead(c) && i + 1 < text.size();
    if (doubleByte || characters.find(static_cast<char>(c)) == std::string::npos) {
      if (first == std::string::npos) first = i;
      end = doubleByte ? i + 2 : i + 1;
    }
    if (doubleByte) ++i;
  }
  if (first == std::string::npos) return {};
  return text.substr(first, end - first);
}

int SplitString(std::vector<std::string>& items, const std::string& text, const std::string& separators,
                const std::string& trimCharacters) {
  items.clear();
  std::string working = Trim(text, trimCharacters);
  while (true) {
    const auto cut = FindFirstOf(working, separators);
    if (cut == std::string::npos) {
      items.push_back(Trim(working, trimCharacters));
      break;
    }
    items.push_back(Trim(working.substr(0, cut), trimCharacters));
    working = Trim(working.substr(cut + 1), trimCharacters);
  }
  return static_cast<int>(items.size());
}

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
  if (what.empty()) return text;
  std::string result;
  std::string::size_type from = 0;
  while (true) {
    const auto hit = text.find(what, from);
    if (hit == std::string::npos) break;
    result.append(text, from, hit - from);
    result += with;
    from = hit + what.size();
  }
  result.append(text, from, std::string::npos);
  return result;
}

std::string ToLowerAscii(const std::string& text) {
  std::string result = text;
  for (std::string::size_type i = 0; i < result.size(); ++i) {
    const auto c = static_cast<unsigned char>(result[i]);
    if (IsLead(c) && i + 1 < result.size()) {
      ++i;
    } else if (c >= 'A' && c <= 'Z') {
      result[i] = static_cast<char>(c - 'A' + 'a');
    }
  }
  return result;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return _mbsicmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                  reinterpret_cast<const unsigned char*>(b.c_str())) == 0;
}

std::string::size_type LastBackslash(const std::string& text) {
  const unsigned char* begin = reinterpret_cast<const unsigned char*>(text.c_str());
  const unsigned char* hit = _mbsrchr(begin, '\\');
  return hit == nullptr ? std::string::npos : static_cast<std::string::size_type>(hit - begin);
}
