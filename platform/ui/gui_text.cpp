#include "platform/ui/gui_text.h"

namespace ui {

namespace {

constexpr UINT kProgramCodePage = 936;

}  // namespace

WideText WideFromAnsi(const std::string& ansiText) {
  if (ansiText.empty()) return WideText();
  const int length = static_cast<int>(ansiText.size());
  const int wideLength = MultiByteToWideChar(kProgramCodePage, 0, ansiText.data(), length, nullptr, 0);
  if (wideLength <= 0) return WideText();
  WideText wide(static_cast<std::size_t>(wideLength), 0);
  MultiByteToWideChar(kProgramCodePage, 0, ansiText.data(), length, wide.data(), wideLength);
  return wide;
}

std::string Utf8FromWide(const WideText& wideText) {
  if (wideText.empty()) return std::string();
  const int length = static_cast<int>(wideText.size());
  const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wideText.data(), length, nullptr, 0, nullptr, nullptr);
  if (utf8Length <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wideText.data(), length, utf8.data(), utf8Length, nullptr, nullptr);
  return utf8;
}

std::string Utf8FromAnsi(const std::string& ansiText) { return Utf8FromWide(WideFromAnsi(ansiText)); }

}  // namespace ui
