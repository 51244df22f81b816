#include "actions/core/attribute_text.h"

#include <cstring>

#include "platform/win32.h"

namespace {

// The expansion buffer: 260 characters and the terminating zero.
constexpr DWORD kExpansionBufferSize = MAX_PATH + 1;
// ExpandEnvironmentStringsA takes sources of at most 32K characters; beyond
// that its result is undefined (wine returns a short, wrong text).
constexpr std::size_t kMaxExpansionSource = 32767;

}  // namespace

std::string ExpandEnvironment(const std::string& value) {
  // Without a '%' there is nothing to expand; this also spares long texts
  // (a value of megabytes) the round trip through the system.
  if (value.find('%') == std::string::npos || value.size() > kMaxExpansionSource) return value;
  char buffer[kExpansionBufferSize] = {};
  const DWORD needed = ExpandEnvironmentStringsA(value.c_str(), buffer, kExpansionBufferSize);
  // 0 is a failure; a size above the buffer means the result did not fit.
  if (needed == 0 || needed > kExpansionBufferSize) return value;
  buffer[kExpansionBufferSize - 1] = '\0';
  return std::string(buffer, strnlen(buffer, kExpansionBufferSize));
}

bool IsPathAttributeName(const std::string& name) {
  static const std::string kNames = "|file|cmd|where|";
  return kNames.find("|" + name + "|") != std::string::npos;
}

std::string CollapseDoubledBackslashes(const std::string& value) {
  std::string result;
  result.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto c = static_cast<unsigned char>(value[i]);
    if (IsDBCSLeadByte(c) && i + 1 < value.size()) {
      result += value[i];
      result += value[++i];
      continue;
    }
    result += value[i];
    if (c == '\\' && i + 1 < value.size() && value[i + 1] == '\\') ++i;
  }
  return result;
}
