// Conversions between code page 936, the registry's text encoding, and the
// encodings a .reg file or a terminal may use. Built on iconv.
#pragma once

#include <string>

namespace tavlen::reg {

// Converts bytes from one iconv encoding to another; false (out unchanged)
// when the input is not valid in `from` or cannot be represented in `to`.
bool ConvertText(const char* from, const char* to, const std::string& in, std::string& out);

// True when the byte starts a double-byte character of code page 936.
inline bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// True when the bytes are whole characters of code page 936: every lead
// byte is followed by a valid trail byte (0x40..0xFE except 0x7F).
bool IsWholeCp936(const std::string& text);

// The terminal's texts: converted between UTF-8 and code page 936 when the
// locale's character set is UTF-8, passed through as bytes otherwise.
std::string FromTerminal(const std::string& text);
std::string ToTerminal(const std::string& text);

}  // namespace tavlen::reg
