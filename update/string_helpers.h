// Text helpers shared by the whole agent. Texts are bytes of code page 936:
// a lead byte and its trail byte are always stepped over as one character.
#pragma once

#include <string>
#include <vector>

// Splits text at any of the separator characters after trimming the trim
// characters from both ends; each item is trimmed too, empty items are kept.
// Returns the number of items, at least 1.
int SplitString(std::vector<std::string>& items, const std::string& text, const std::string& separators,
                const std::string& trimCharacters);

// Every non-overlapping occurrence of what in text replaced by with, in one
// left-to-right pass that does not rescan inserted text.
std::string ReplaceAll(std::string text, const std::string& what, const std::string& with);

// Removes the given characters (single bytes) from both ends.
std::string Trim(const std::string& text, const std::string& characters = " \t\r\n\v\f");

// ASCII lower case; bytes of double-byte characters are left as they are.
std::string ToLowerAscii(const std::string& text);

// Case-insensitive equality, double-byte aware (as _mbsicmp compares).
bool EqualsNoCase(const std::string& a, const std::string& b);

// Position of the last backslash, double-byte aware; npos when none.
std::string::size_type LastBackslash(const std::string& text);
