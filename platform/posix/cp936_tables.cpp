#include "platform/posix/cp936_tables.h"

#include <iconv.h>

#include <vector>

namespace tavlen::posix::cp936 {

namespace {

// Decoding: one entry per (lead, trail) pair; encoding: one per UTF-16 unit
// holding the byte or the byte pair (0 = no character).
struct Tables {
  std::vector<char16_t> decode;
  std::vector<uint16_t> encode;

  Tables() : decode(126 * 191, 0), encode(65536, 0) {
    for (unsigned c = 1; c < 0x80; ++c) encode[c] = static_cast<uint16_t>(c);
    iconv_t converter = iconv_open("UTF-16LE", "CP936");
    if (converter == reinterpret_cast<iconv_t>(-1)) return;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        char out[8] = {};
        char* inPointer = in;
        char* outPointer = out;
        size_t inLeft = 2;
        size_t outLeft = sizeof out;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1)) continue;
        if (inLeft != 0 || sizeof out - outLeft != 2) continue;
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                                (static_cast<unsigned char>(out[1]) << 8));
        decode[(lead - 0x81) * 191 + (trail - 0x40)] = unit;
        if (encode[unit] == 0) encode[unit] = static_cast<uint16_t>((lead << 8) | trail);
      }
    }
    iconv_close(converter);
    // Windows' code page 936 has the euro sign as the single byte 0x80.
    encode[0x20AC] = 0x80;
  }
};

const Tables& GetTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

bool IsLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

bool Decode(const unsigned char* text, size_t length, char16_t& unit, size_t& used) {
  used = 1;
  const unsigned char first = text[0];
  if (first < 0x80) {
    unit = first;
    return true;
  }
  if (first == 0x80) {
    unit = 0x20AC;
    return true;
  }
  if (!IsLead(first) || length < 2 || !IsTrail(text[1])) {
    unit = kUndefinedUnicode;
    return false;
  }
  used = 2;
  unit = GetTables().decode[(first - 0x81) * 191 + (text[1] - 0x40)];
  if (unit == 0) {
    unit = kUndefinedUnicode;
    return false;
  }
  return true;
}

bool Encode(char16_t unit, std::string& out) {
  if (unit == 0) {
    out.push_back('\0');
    return true;
  }
  const uint16_t bytes = GetTables().encode[unit];
  if (bytes == 0) return false;
  if (bytes > 0xFF) out.push_back(static_cast<char>(bytes >> 8));
  out.push_back(static_cast<char>(bytes & 0xFF));
  return true;
}

bool DecodeUtf8(const unsigned char* text, size_t length, char32_t& point, size_t& used) {
  used = 1;
  const unsigned char first = text[0];
  if (first < 0x80) {
    point = first;
    return true;
  }
  size_t extra = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((first & 0xE0) == 0xC0) {
    extra = 1;
    value = first & 0x1F;
    minimum = 0x80;
  } else if ((first & 0xF0) == 0xE0) {
    extra = 2;
    value = first & 0x0F;
    minimum = 0x800;
  } else if ((first & 0xF8) == 0xF0) {
    extra = 3;
    value = first & 0x07;
    minimum = 0x10000;
  } else {
    point = 0xFFFD;
    return false;
  }
  for (size_t i = 1; i <= extra; ++i) {
    if (i >= length || (text[i] & 0xC0) != 0x80) {
      used = i;
      point = 0xFFFD;
      return false;
    }
    value = (value << 6) | (text[i] & 0x3F);
  }
  used = extra + 1;
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    point = 0xFFFD;
    return false;
  }
  point = value;
  return true;
}

void EncodeUtf8(char32_t point, std::string& out) {
  if (point < 0x80) {
    out.push_back(static_cast<char>(point));
  } else if (point < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (point >> 6)));
    out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
  } else if (point < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (point >> 12)));
    out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (point >> 18)));
    out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
  }
}

}  // namespace tavlen::posix::cp936
