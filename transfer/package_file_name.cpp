#include "transfer/package_file_name.h"

#include <cstring>

#include "transfer/md5.h"

std::string PackageFileName(const std::string& url) {
  std::string name = FileNameFromUrl(url.substr(0, url.find_first_of("?#")));
  // Double-byte characters of code page 936 are stepped over whole: a trail
  // byte may look like "\" or "|".
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < name.size()) {
      ++i;
      continue;
    }
    if (c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr) name[i] = '_';
  }
  if (name == "." || name == "..") name.clear();
  return name;
}
