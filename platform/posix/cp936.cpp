// Code page 936: lead bytes, the C runtime's multibyte string functions and
// the conversions to UTF-16 and UTF-8.
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/cp936_tables.h"
#include "platform/posix/win_cp936.h"

namespace cp936 = tavlen::posix::cp936;

UINT GetACP() { return 936; }
UINT GetOEMCP() { return 936; }

BOOL IsDBCSLeadByte(BYTE value) { return cp936::IsLead(value) ? TRUE : FALSE; }

BOOL IsDBCSLeadByteEx(UINT codePage, BYTE value) {
  if (codePage == CP_ACP || codePage == CP_OEMCP || codePage == 936) return IsDBCSLeadByte(value);
  return FALSE;
}

namespace {

enum class Page { kAnsi, kUtf8, kUnknown };

Page PageOf(UINT codePage) {
  if (codePage == CP_ACP || codePage == CP_OEMCP || codePage == 936) return Page::kAnsi;
  if (codePage == CP_UTF8) return Page::kUtf8;
  return Page::kUnknown;
}

// Decodes bytes into UTF-16; false when strict and a character is invalid.
bool DecodeBytes(Page page, const unsigned char* text, size_t length, bool strict, std::u16string& out,
                 char16_t invalidAnsi = cp936::kUndefinedUnicode) {
  size_t i = 0;
  while (i < length) {
    size_t used = 1;
    if (page == Page::kAnsi) {
      char16_t unit = 0;
      if (!cp936::Decode(text + i, length - i, unit, used)) {
        if (strict) return false;
        unit = invalidAnsi;
      }
      out.push_back(unit);
    } else {
      char32_t point = 0;
      if (!cp936::DecodeUtf8(text + i, length - i, point, used) && strict) return false;
      if (point >= 0x10000) {
        point -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
      } else {
        out.push_back(static_cast<char16_t>(point));
      }
    }
    i += used;
  }
  return true;
}

// Encodes UTF-16 into bytes; usedDefault tells whether a character had no
// equivalent (the replacement is then written).
void EncodeUnits(Page page, const char16_t* units, size_t length, char replacement, std::string& out,
                 bool& usedDefault) {
  for (size_t i = 0; i < length; ++i) {
    char16_t unit = units[i];
    if (page == Page::kAnsi) {
      if (!cp936::Encode(unit, out)) {
        out.push_back(replacement);
        usedDefault = true;
      }
      continue;
    }
    char32_t point = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      point = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      point = 0xFFFD;
      usedDefault = true;
    }
    cp936::EncodeUtf8(point, out);
  }
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength, LPWSTR destination,
                        int destinationLength) {
  const Page page = PageOf(codePage);
  if (page == Page::kUnknown || source == nullptr || sourceLength == 0 || sourceLength < -1 ||
      destinationLength < 0 || (destination == nullptr && destinationLength > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const size_t length = sourceLength == -1 ? std::strlen(source) + 1 : static_cast<size_t>(sourceLength);
  std::u16string units;
  if (!DecodeBytes(page, reinterpret_cast<const unsigned char*>(source), length,
                   (flags & MB_ERR_INVALID_CHARS) != 0, units)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (destinationLength == 0) return static_cast<int>(units.size());
  if (units.size() > static_cast<size_t>(destinationLength)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(destination, units.data(), units.size() * sizeof(WCHAR));
  return static_cast<int>(units.size());
}

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR source, int sourceLength, LPSTR destination,
                        int destinationLength, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  const Page page = PageOf(codePage);
  if (page == Page::kUnknown || source == nullptr || sourceLength == 0 || sourceLength < -1 ||
      destinationLength < 0 || (destination == nullptr && destinationLength > 0) ||
      (page == Page::kUtf8 && (defaultChar != nullptr || usedDefaultChar != nullptr))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t length = 0;
  if (sourceLength == -1) {
    while (source[length] != 0) ++length;
    ++length;
  } else {
    length = static_cast<size_t>(sourceLength);
  }
  std::string bytes;
  bool usedDefault = false;
  EncodeUnits(page, reinterpret_cast<const char16_t*>(source), length,
              defaultChar != nullptr ? *defaultChar : '?', bytes, usedDefault);
  if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault ? TRUE : FALSE;
  if (destinationLength == 0) return static_cast<int>(bytes.size());
  if (bytes.size() > static_cast<size_t>(destinationLength)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(destination, bytes.data(), bytes.size());
  return static_cast<int>(bytes.size());
}

namespace {

// The character at text and its byte count; a lead byte before the end
// zero stands alone.
unsigned int CharacterAt(const unsigned char* text, size_t& size) {
  if (cp936::IsLead(text[0]) && text[1] != 0) {
    size = 2;
    return (static_cast<unsigned int>(text[0]) << 8) | text[1];
  }
  size = 1;
  return text[0];
}

unsigned int FoldToLower(unsigned int character) {
  return (character >= 'A' && character <= 'Z') ? character - 'A' + 'a' : character;
}

}  // namespace

unsigned char* _mbschr(const unsigned char* text, unsigned int character) {
  size_t size = 1;
  for (const unsigned char* p = text;; p += size) {
    const unsigned int current = CharacterAt(p, size);
    if (current == character) return const_cast<unsigned char*>(p);
    if (current == 0) return nullptr;
  }
}

unsigned char* _mbsrchr(const unsigned char* text, unsigned int character) {
  const unsigned char* found = nullptr;
  size_t size = 1;
  for (const unsigned char* p = text;; p += size) {
    const unsigned int current = CharacterAt(p, size);
    if (current == character) found = p;
    if (current == 0) break;
  }
  return const_cast<unsigned char*>(found);
}

int _mbsicmp(const unsigned char* a, const unsigned char* b) {
  while (true) {
    size_t sizeA = 1;
    size_t sizeB = 1;
    const unsigned int left = FoldToLower(CharacterAt(a, sizeA));
    const unsigned int right = FoldToLower(CharacterAt(b, sizeB));
    if (left != right) return left < right ? -1 : 1;
    if (left == 0) return 0;
    a += sizeA;
    b += sizeB;
  }
}

unsigned char* _mbsupr(unsigned char* text) {
  size_t size = 1;
  for (unsigned char* p = text; *p != 0; p += size) {
    CharacterAt(p, size);
    if (size == 1 && *p >= 'a' && *p <= 'z') *p = static_cast<unsigned char>(*p - 'a' + 'A');
  }
  return text;
}

namespace tavlen::posix {

bool AnsiToUtf8Strict(const std::string& ansi, std::string& utf8) {
  std::u16string units;
  if (!DecodeBytes(Page::kAnsi, reinterpret_cast<const unsigned char*>(ansi.data()), ansi.size(), true, units)) {
    return false;
  }
  utf8.clear();
  bool usedDefault = false;
  EncodeUnits(Page::kUtf8, units.data(), units.size(), '?', utf8, usedDefault);
  return true;
}

bool Utf8ToAnsiStrict(const std::string& utf8, std::string& ansi) {
  std::u16string units;
  if (!DecodeBytes(Page::kUtf8, reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size(), true, units)) {
    return false;
  }
  ansi.clear();
  bool usedDefault = false;
  EncodeUnits(Page::kAnsi, units.data(), units.size(), '?', ansi, usedDefault);
  return !usedDefault;
}

std::string AnsiToUtf8(const std::string& ansi) {
  std::u16string units;
  DecodeBytes(Page::kAnsi, reinterpret_cast<const unsigned char*>(ansi.data()), ansi.size(), false, units, 0xFFFD);
  std::string utf8;
  bool usedDefault = false;
  EncodeUnits(Page::kUtf8, units.data(), units.size(), '?', utf8, usedDefault);
  return utf8;
}

std::string Utf8ToAnsi(const std::string& utf8) {
  std::u16string units;
  DecodeBytes(Page::kUtf8, reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size(), false, units);
  std::string ansi;
  bool usedDefault = false;
  EncodeUnits(Page::kAnsi, units.data(), units.size(), '?', ansi, usedDefault);
  return ansi;
}

}  // namespace tavlen::posix
