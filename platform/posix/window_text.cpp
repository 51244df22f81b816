#include "platform/posix/window_text.h"

#include <iconv.h>

namespace tavlen::posix {

std::string WindowTextFromAnsi(const std::string& ansi) {
  iconv_t converter = iconv_open("UTF-8", "CP936");
  if (converter == reinterpret_cast<iconv_t>(-1)) return ansi;
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(ansi.data());
  size_t inLeft = ansi.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (result == static_cast<size_t>(-1) && outLeft == sizeof buffer) {
      // An invalid or truncated sequence: replace one byte and go on.
      out += "\xEF\xBF\xBD";
      ++in;
      --inLeft;
    }
  }
  iconv_close(converter);
  return out;
}

std::string WindowTextFromLatin1(const std::string& latin1) {
  std::string out;
  for (const unsigned char c : latin1) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool WindowTextEqual(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace tavlen::posix
