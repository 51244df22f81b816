// Linux: the character tables of code page 936, built once from the C
// library's converter, and UTF-8 coding. Internal to the base layer.
#pragma once

#include <cstdint>
#include <string>

namespace tavlen::posix::cp936 {

// U+30FB is what Windows gives for a byte sequence code page 936 does not define.
constexpr char16_t kUndefinedUnicode = 0x30FB;

bool IsLead(unsigned char byte);
bool IsTrail(unsigned char byte);

// Decodes one character at text[0..length); sets used to 1 or 2 bytes.
// False (and used = 1) when the bytes are not a defined character.
bool Decode(const unsigned char* text, size_t length, char16_t& unit, size_t& used);
// The bytes of one UTF-16 unit in code page 936, appended to out; false when
// the code page has no such character.
bool Encode(char16_t unit, std::string& out);

// UTF-8: one code point from text; false (used >= 1) for a malformed sequence.
bool DecodeUtf8(const unsigned char* text, size_t length, char32_t& point, size_t& used);
void EncodeUtf8(char32_t point, std::string& out);

}  // namespace tavlen::posix::cp936
