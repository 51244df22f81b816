#include "platform/ui/gui_title.h"

#include "platform/win32.h"

namespace ui {

std::string TitleFromModulePath(const std::string& modulePath) {
  // Code page 936: a trail byte may be 0x5C, so separators are searched
  // character by character, stepping over double-byte characters.
  std::size_t nameStart = 0;
  for (std::size_t i = 0; i < modulePath.size(); ++i) {
    const auto byte = static_cast<unsigned char>(modulePath[i]);
    if (byte >= 0x81 && byte <= 0xFE && i + 1 < modulePath.size()) {
      ++i;
    } else if (byte == '\\' || byte == '/') {
      nameStart = i + 1;
    }
  }
  std::string name = modulePath.substr(nameStart);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

std::string ProgramTitle() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "updater";
  return TitleFromModulePath(std::string(path, length));
}

}  // namespace ui
