// Linux: InternetCanonicalizeUrlA.
//
// Backslashes in the path become slashes, "." and ".." segments are resolved,
// an empty path becomes "/", and bytes that may not appear in a URL path
// (controls, blanks, bytes from 0x7F on, and " < > \ ^ ` { | }) are escaped as
// %XX. Existing escapes are kept. The query and fragment stay as they are in
// browser mode; otherwise only their unsafe bytes are escaped as well.
#include "platform/posix/win_internet.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

bool IsUnsafe(unsigned char c) { return c <= 0x20 || c >= 0x7F || std::strchr("\"<>\\^`{|}", c) != nullptr; }

std::string Escape(const std::string& text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsUnsafe(c)) {
      out += '%';
      out += kDigits[c >> 4];
      out += kDigits[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

// The path with its dot segments removed; it starts with "/".
std::string ResolveDots(const std::string& path) {
  std::vector<std::string> segments;
  std::size_t start = 1;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string segment = path.substr(start, end - start);
    const bool last = end == path.size();
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
      if (last) segments.emplace_back();
    } else if (segment == ".") {
      if (last) segments.emplace_back();
    } else {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string out;
  for (const auto& segment : segments) out += "/" + segment;
  return out.empty() ? "/" : out;
}

bool Canonicalize(const std::string& url, DWORD flags, std::string& out) {
  std::size_t begin = 0;
  std::size_t end = url.size();
  while (begin < end && static_cast<unsigned char>(url[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(url[end - 1]) <= 0x20) --end;
  const std::string text = url.substr(begin, end - begin);

  const auto schemeEnd = text.find("://");
  if (schemeEnd == std::string::npos || schemeEnd == 0) return false;
  const auto tailStart = text.find_first_of("?#", schemeEnd + 3);
  std::string head = text.substr(0, tailStart);
  const std::string tail = tailStart == std::string::npos ? "" : text.substr(tailStart);
  for (auto& c : head) {
    if (c == '\\') c = '/';
  }
  const auto pathStart = head.find('/', schemeEnd + 3);
  const std::string authority = head.substr(0, pathStart);
  std::string path = pathStart == std::string::npos ? "/" : head.substr(pathStart);
  if (!(flags & ICU_NO_META)) path = ResolveDots(path);
  const bool escape = !(flags & ICU_NO_ENCODE);
  out = authority + (escape ? Escape(path) : path);
  out += (escape && !(flags & ICU_BROWSER_MODE)) ? Escape(tail) : tail;
  return true;
}

}  // namespace

BOOL InternetCanonicalizeUrlA(LPCSTR url, LPSTR buffer, LPDWORD length, DWORD flags) {
  if (url == nullptr || length == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string canonical;
  if (!Canonicalize(url, flags, canonical)) {
    SetLastError(ERROR_INTERNET_INVALID_URL);
    return FALSE;
  }
  if (buffer == nullptr || *length < canonical.size() + 1) {
    *length = static_cast<DWORD>(canonical.size() + 1);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buffer, canonical.c_str(), canonical.size() + 1);
  *length = static_cast<DWORD>(canonical.size());
  return TRUE;
}
