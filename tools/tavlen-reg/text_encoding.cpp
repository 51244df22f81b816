#include "tools/tavlen-reg/text_encoding.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tavlen::reg {

bool ConvertText(const char* from, const char* to, const std::string& in, std::string& out) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::string result;
  std::vector<char> input(in.begin(), in.end());
  char* inPtr = input.data();
  size_t inLeft = input.size();
  char chunk[4096];
  bool ok = true;
  while (inLeft > 0) {
    char* outPtr = chunk;
    size_t outLeft = sizeof chunk;
    const size_t rc = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    result.append(chunk, sizeof chunk - outLeft);
    // EILSEQ or EINVAL: invalid or unrepresentable input; E2BIG: go on.
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      ok = false;
      break;
    }
  }
  if (ok) {
    char* outPtr = chunk;
    size_t outLeft = sizeof chunk;
    iconv(converter, nullptr, nullptr, &outPtr, &outLeft);  // ends any shift state
    result.append(chunk, sizeof chunk - outLeft);
  }
  iconv_close(converter);
  if (ok) out = std::move(result);
  return ok;
}

bool IsWholeCp936(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsLeadByte(static_cast<unsigned char>(text[i]))) continue;
    if (i + 1 >= text.size()) return false;
    const unsigned char trail = static_cast<unsigned char>(text[++i]);
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
  }
  return true;
}

namespace {

bool TerminalIsUtf8() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset != nullptr && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

}  // namespace

std::string FromTerminal(const std::string& text) {
  std::string converted;
  if (TerminalIsUtf8() && ConvertText("UTF-8", "CP936", text, converted)) return converted;
  return text;
}

std::string ToTerminal(const std::string& text) {
  std::string converted;
  if (TerminalIsUtf8() && ConvertText("CP936", "UTF-8", text, converted)) return converted;
  return text;
}

}  // namespace tavlen::reg
