// The "hex:" notation of registry bytes: "hex:" in any letter case, then byte
// values in hexadecimal separated by commas; backslashes, line breaks, tabs
// and blanks anywhere are ignored so a value can be wrapped over lines.
#pragma once

#include <string>
#include <vector>

// The number of bytes decoded into bytes: 0 when the text does not begin
// with "hex:" (bytes is left empty), -1 when no buffer can be had. Every
// item gives one byte, empty ones included: "hex:" alone is one 00.
int DecodeHexBytes(const std::string& text, std::vector<unsigned char>& bytes);
