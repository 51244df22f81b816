#include "tools/tavlen-reg/key_path.h"

#include <strings.h>

#include "tools/tavlen-reg/text_encoding.h"

namespace tavlen::reg {

namespace {

struct Root {
  const char* fullName;
  const char* shortName;
  HKEY handle;
};

const Root kRoots[] = {
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE}, {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},   {"HKEY_USERS", "HKU", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", "HKCC", HKEY_CURRENT_CONFIG},
};

// Removes backslashes at both ends; a trailing 0x5C that is the trail byte
// of a double-byte character stays.
std::string TrimSeparators(const std::string& text) {
  std::size_t begin = 0;
  while (begin < text.size() && text[begin] == '\\') ++begin;
  std::size_t end = begin;  // just after the last byte that is not a separator
  for (std::size_t i = begin; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      end = ++i + 1;
    } else if (text[i] != '\\') {
      end = i + 1;
    }
  }
  return text.substr(begin, end - begin);
}

}  // namespace

bool ParseKeyPath(const std::string& text, KeyPath& path) {
  const std::size_t slash = text.find('\\');
  const std::string root = text.substr(0, slash);
  for (const Root& candidate : kRoots) {
    if (strcasecmp(root.c_str(), candidate.fullName) != 0 && strcasecmp(root.c_str(), candidate.shortName) != 0) {
      continue;
    }
    path.root = candidate.handle;
    path.rootName = candidate.fullName;
    path.subKey = slash == std::string::npos ? std::string() : TrimSeparators(text.substr(slash + 1));
    return true;
  }
  return false;
}

}  // namespace tavlen::reg
