// A check, before the XML reader sees a manifest, that its elements do not
// nest deeper than the reader can take. The reader descends recursively, one
// call chain per open element, when it parses and again when it frees the
// document, so a text of nothing but start tags would overflow the stack.
#pragma once

#include <cstddef>
#include <string>

// Deepest element nesting a manifest may have. A manifest needs five levels;
// this leaves room for generous extensions while keeping the reader's
// recursion far from the stack limits of both targets (and of the
// sanitizer builds, whose frames are larger).
constexpr std::size_t kMaxManifestNesting = 256;

// The byte offset of the first start tag that the reader would open below
// limit open elements, or std::string::npos when the text stays within it.
// The scan follows the reader's own tokenising rules (comments, CDATA,
// declarations, quoted attribute values, and the UTF-8 stepping it applies
// after a byte-order mark or an encoding declaration) up to the point where
// the reader would stop with an error, so nothing it would nest is missed.
std::size_t FindExcessNesting(const std::string& text, std::size_t limit = kMaxManifestNesting);

// Row and column (both from 1) of a byte offset: rows end at LF, columns count bytes.
void TextPosition(const std::string& text, std::size_t offset, int& row, int& column);
