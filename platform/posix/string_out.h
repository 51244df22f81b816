// Linux: Windows' rule for returning a text in a caller's buffer.
#pragma once

#include <cstring>
#include <string>

#include "platform/posix/win_base.h"

namespace tavlen::posix {

// When the text and its zero fit: copies them and returns the text's length.
// Otherwise leaves the buffer alone and returns the size needed with the zero.
inline DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || text.size() >= size) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

}  // namespace tavlen::posix
