// Linux: the ANSI code page, which is always 936 (GBK), its multibyte string
// functions and the conversions to and from UTF-16 and UTF-8.
//
// A lead byte is 0x81..0xFE; the byte after it belongs to the same character
// even when it is a backslash (0x5C) or '|' (0x7C).
#pragma once

#include <string>

#include "platform/posix/win_base.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001u
#define MB_ERR_INVALID_CHARS 0x00000008u
#define WC_NO_BEST_FIT_CHARS 0x00000400u
#ifndef ERROR_NO_UNICODE_TRANSLATION
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#endif

UINT GetACP();
UINT GetOEMCP();
BOOL IsDBCSLeadByte(BYTE value);
BOOL IsDBCSLeadByteEx(UINT codePage, BYTE value);

// Code pages CP_ACP, CP_OEMCP, 936 and CP_UTF8. A length of -1 includes the
// terminating zero. With an output size of 0 the size needed is returned;
// an output too small fails with ERROR_INSUFFICIENT_BUFFER.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength, LPWSTR destination,
                        int destinationLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceLength, LPSTR destination,
                        int destinationLength, LPCSTR defaultChar, LPBOOL usedDefaultChar);

// The multibyte string functions of the C runtime for code page 936: ASCII
// letters fold, double-byte characters are compared and kept as they are.
unsigned char* _mbschr(const unsigned char* text, unsigned int character);
unsigned char* _mbsrchr(const unsigned char* text, unsigned int character);
int _mbsicmp(const unsigned char* a, const unsigned char* b);
unsigned char* _mbsupr(unsigned char* text);

namespace tavlen::posix {
// Texts of code page 936 to UTF-8 and back, for where a text leaves the
// agent (the terminal, window titles, Unix file names). A byte that is not
// part of a valid character becomes U+FFFD (to UTF-8) or '?' (to 936).
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);
// The same, but false instead of a replacement when a character does not
// convert.
bool AnsiToUtf8Strict(const std::string& ansi, std::string& utf8);
bool Utf8ToAnsiStrict(const std::string& utf8, std::string& ansi);
}  // namespace tavlen::posix
