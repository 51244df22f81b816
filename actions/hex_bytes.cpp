#include "actions/hex_bytes.h"

#include <cstdlib>
#include <new>

#include "update/string_helpers.h"

int DecodeHexBytes(const std::string& text, std::vector<unsigned char>& bytes) {
  bytes.clear();
  if (text.size() < 4 || !EqualsNoCase(text.substr(0, 4), "hex:")) return 0;
  std::string packed;
  for (char c : text) {
    if (c != '\\' && c != '\r' && c != '\n' && c != '\t' && c != ' ') packed += c;
  }
  std::vector<std::string> items;
  SplitString(items, packed.substr(4), ",", " \t");
  try {
    bytes.resize(items.size());
  } catch (const std::bad_alloc&) {
    return -1;
  }
  for (size_t i = 0; i < items.size(); ++i) {
    bytes[i] = static_cast<unsigned char>(std::strtol(items[i].c_str(), nullptr, 16) & 0xFF);
  }
  return static_cast<int>(items.size());
}
