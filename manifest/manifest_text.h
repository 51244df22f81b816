// The manifest text before it is parsed: path variables put in as XML text.
#pragma once

#include <string>

// The five characters that XML gives a meaning (& < > " ') written as the
// reader's predefined entities, so that the reader gives back the text as it was.
std::string EscapeXml(const std::string& text);

// "${app_path}", "${win_path}" and "${sys32_path}" replaced, in this order, by
// the installation, Windows and system folders, each escaped for XML: a folder
// named "R&D" or "a<b" reaches the actions as it is named, instead of losing
// its "&" to the reader's entity rules or breaking the document.
std::string ExpandManifestPathVariables(std::string text);
