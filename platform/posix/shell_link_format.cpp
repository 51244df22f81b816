#include "platform/posix/shell_link_format.h"

#include <vector>

#include "platform/posix/win_cp936.h"

namespace tavlen::posix {

namespace {

constexpr uint32_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kHasLinkTargetIdList = 0x01;
constexpr uint32_t kHasLinkInfo = 0x02;
constexpr uint32_t kHasName = 0x04;
constexpr uint32_t kHasRelativePath = 0x08;
constexpr uint32_t kHasWorkingDir = 0x10;
constexpr uint32_t kHasArguments = 0x20;
constexpr uint32_t kHasIconLocation = 0x40;
constexpr uint32_t kIsUnicode = 0x80;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 0x02;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kShowNormal = 1;

std::u16string ToUtf16(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (size <= 0) return {};
  std::vector<WCHAR> wide(static_cast<size_t>(size));
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), size);
  return std::u16string(wide.begin(), wide.end());
}

std::string FromUtf16(const std::u16string& wide) {
  if (wide.empty()) return {};
  std::vector<WCHAR> units(wide.begin(), wide.end());
  const int size =
      WideCharToMultiByte(CP_ACP, 0, units.data(), static_cast<int>(units.size()), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string ansi(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, units.data(), static_cast<int>(units.size()), ansi.data(), size, nullptr, nullptr);
  return ansi;
}

class Writer {
 public:
  void U16(uint32_t value) {
    for (int i = 0; i < 2; ++i) m_bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  void U32(uint32_t value) {
    for (int i = 0; i < 4; ++i) m_bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  void Time(const FILETIME& time) {
    U32(time.dwLowDateTime);
    U32(time.dwHighDateTime);
  }
  void Raw(const void* data, size_t size) { m_bytes.append(static_cast<const char*>(data), size); }
  void AnsiZ(const std::string& text) { m_bytes.append(text.c_str(), text.size() + 1); }
  void Utf16Z(const std::u16string& text) {
    for (const char16_t unit : text) U16(unit);
    U16(0);
  }
  // A string-data entry: a count of characters, then the UTF-16 units.
  void CountedUtf16(const std::u16string& text) {
    U16(static_cast<uint32_t>(text.size()));
    for (const char16_t unit : text) U16(unit);
  }
  uint32_t Size() const { return static_cast<uint32_t>(m_bytes.size()); }
  std::string& Bytes() { return m_bytes; }

 private:
  std::string m_bytes;
};

class Reader {
 public:
  Reader(const std::string& bytes, size_t begin, size_t end) : m_bytes(bytes), m_pos(begin), m_end(end) {}
  bool U16(uint32_t& value) { return Number(2, value); }
  bool U32(uint32_t& value) { return Number(4, value); }
  bool Skip(size_t count) {
    if (count > m_end - m_pos) return false;
    m_pos += count;
    return true;
  }
  bool Seek(size_t pos) {
    if (pos > m_end) return false;
    m_pos = pos;
    return true;
  }
  size_t Pos() const { return m_pos; }
  bool Bytes(size_t count, std::string& out) {
    if (count > m_end - m_pos) return false;
    out.assign(m_bytes, m_pos, count);
    m_pos += count;
    return true;
  }
  bool AnsiZ(std::string& out) {
    out.clear();
    while (m_pos < m_end) {
      const char c = m_bytes[m_pos++];
      if (c == '\0') return true;
      out += c;
    }
    return false;
  }
  bool Utf16Z(std::u16string& out) {
    out.clear();
    uint32_t unit = 0;
    while (U16(unit)) {
      if (unit == 0) return true;
      out += static_cast<char16_t>(unit);
    }
    return false;
  }

 private:
  bool Number(int size, uint32_t& value) {
    if (static_cast<size_t>(size) > m_end - m_pos) return false;
    value = 0;
    for (int i = 0; i < size; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(m_bytes[m_pos + i])) << (8 * i);
    m_pos += static_cast<size_t>(size);
    return true;
  }

  const std::string& m_bytes;
  size_t m_pos;
  size_t m_end;
};

std::string EncodeLinkInfo(const std::string& target) {
  constexpr uint32_t kInfoHeaderSize = 0x24;  // with the Unicode offsets
  constexpr uint32_t kVolumeIdSize = 0x11;    // four numbers and an empty label
  const std::u16string wideTarget = ToUtf16(target);
  const uint32_t basePath = kInfoHeaderSize + kVolumeIdSize;
  const uint32_t suffix = basePath + static_cast<uint32_t>(target.size()) + 1;
  const uint32_t basePathUnicode = suffix + 1;
  const uint32_t suffixUnicode = basePathUnicode + 2 * (static_cast<uint32_t>(wideTarget.size()) + 1);
  const uint32_t total = suffixUnicode + 2;

  Writer info;
  info.U32(total);
  info.U32(kInfoHeaderSize);
  info.U32(kVolumeIdAndLocalBasePath);
  info.U32(kInfoHeaderSize);  // the volume ID follows the header
  info.U32(basePath);
  info.U32(0);  // no network share
  info.U32(suffix);
  info.U32(basePathUnicode);
  info.U32(suffixUnicode);
  info.U32(kVolumeIdSize);
  info.U32(kDriveFixed);
  info.U32(0);     // serial number unknown
  info.U32(0x10);  // label right after these four numbers
  info.AnsiZ("");
  info.AnsiZ(target);
  info.AnsiZ("");
  info.Utf16Z(wideTarget);
  info.Utf16Z(u"");
  return info.Bytes();
}

// The target of the link information in bytes [begin, end).
bool DecodeLinkInfo(const std::string& bytes, size_t begin, size_t end, std::string& target) {
  Reader reader(bytes, begin, end);
  uint32_t infoSize = 0, headerSize = 0, flags = 0, volumeId = 0, basePath = 0, network = 0, suffix = 0;
  if (!reader.U32(infoSize) || !reader.U32(headerSize) || !reader.U32(flags) || !reader.U32(volumeId) || !reader.U32(basePath) ||
      !reader.U32(network) || !reader.U32(suffix)) {
    return false;
  }
  uint32_t basePathUnicode = 0, suffixUnicode = 0;
  if (headerSize >= 0x24 && (!reader.U32(basePathUnicode) || !reader.U32(suffixUnicode))) return false;
  const auto at = [&](uint32_t offset) { return reader.Seek(begin + offset); };

  std::string head;
  std::string tail;
  if (basePathUnicode != 0 && suffixUnicode != 0 && (flags & kVolumeIdAndLocalBasePath)) {
    std::u16string wideHead, wideTail;
    if (!at(basePathUnicode) || !reader.Utf16Z(wideHead) || !at(suffixUnicode) || !reader.Utf16Z(wideTail)) return false;
    head = FromUtf16(wideHead);
    tail = FromUtf16(wideTail);
  } else if (flags & kVolumeIdAndLocalBasePath) {
    if (!at(basePath) || !reader.AnsiZ(head) || !at(suffix) || !reader.AnsiZ(tail)) return false;
  } else if (flags & kCommonNetworkRelativeLinkAndPathSuffix) {
    uint32_t size = 0, networkFlags = 0, netName = 0;
    if (!at(network) || !reader.U32(size) || !reader.U32(networkFlags) || !reader.U32(netName)) return false;
    if (!at(network + netName) || !reader.AnsiZ(head) || !at(suffix) || !reader.AnsiZ(tail)) return false;
    if (!tail.empty()) head += "\\";
  } else {
    return true;  // no target path in this link
  }
  target = head + tail;
  return true;
}

bool ReadCountedString(Reader& reader, bool unicode, std::string& out) {
  uint32_t count = 0;
  if (!reader.U16(count)) return false;
  if (!unicode) return reader.Bytes(count, out);
  std::u16string wide;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t unit = 0;
    if (!reader.U16(unit)) return false;
    wide += static_cast<char16_t>(unit);
  }
  out = FromUtf16(wide);
  return true;
}

}  // namespace

std::string EncodeShellLink(const ShellLinkData& link) {
  uint32_t flags = kIsUnicode;
  if (!link.target.empty()) flags |= kHasLinkInfo;
  if (!link.description.empty()) flags |= kHasName;
  if (!link.arguments.empty()) flags |= kHasArguments;
  if (!link.iconFile.empty()) flags |= kHasIconLocation;

  Writer out;
  out.U32(kHeaderSize);
  out.Raw(kLinkClsid, sizeof kLinkClsid);
  out.U32(flags);
  out.U32(link.targetAttributes);
  out.Time(link.creationTime);
  out.Time(link.accessTime);
  out.Time(link.writeTime);
  out.U32(link.targetSize);
  out.U32(static_cast<uint32_t>(link.iconIndex));
  out.U32(kShowNormal);
  out.U16(0);  // no hot key
  out.U16(0);
  out.U32(0);
  out.U32(0);
  if (flags & kHasLinkInfo) out.Bytes() += EncodeLinkInfo(link.target);
  if (flags & kHasName) out.CountedUtf16(ToUtf16(link.description));
  if (flags & kHasArguments) out.CountedUtf16(ToUtf16(link.arguments));
  if (flags & kHasIconLocation) out.CountedUtf16(ToUtf16(link.iconFile));
  out.U32(0);  // terminal block: no extra data
  return out.Bytes();
}

bool DecodeShellLink(const std::string& bytes, ShellLinkData& link) {
  Reader reader(bytes, 0, bytes.size());
  uint32_t headerSize = 0;
  std::string clsid;
  if (!reader.U32(headerSize) || headerSize != kHeaderSize || !reader.Bytes(16, clsid) ||
      clsid != std::string(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid)) {
    return false;
  }
  ShellLinkData result;
  uint32_t flags = 0, iconIndex = 0, sizeLow = 0, high = 0;
  if (!reader.U32(flags) || !reader.U32(result.targetAttributes)) return false;
  for (FILETIME* time : {&result.creationTime, &result.accessTime, &result.writeTime}) {
    if (!reader.U32(time->dwLowDateTime) || !reader.U32(high)) return false;
    time->dwHighDateTime = high;
  }
  if (!reader.U32(sizeLow) || !reader.U32(iconIndex) || !reader.Seek(kHeaderSize)) return false;
  result.targetSize = sizeLow;
  result.iconIndex = static_cast<int32_t>(iconIndex);

  if (flags & kHasLinkTargetIdList) {
    uint32_t listSize = 0;
    if (!reader.U16(listSize) || !reader.Skip(listSize)) return false;
  }
  if (flags & kHasLinkInfo) {
    const size_t begin = reader.Pos();
    uint32_t infoSize = 0;
    if (!reader.U32(infoSize) || infoSize < 0x1C || !reader.Seek(begin) || !reader.Skip(infoSize)) return false;
    // Offsets inside the link information count from its first byte.
    if (!DecodeLinkInfo(bytes, begin, begin + infoSize, result.target)) return false;
  }
  const bool unicode = (flags & kIsUnicode) != 0;
  std::string ignored;
  if ((flags & kHasName) && !ReadCountedString(reader, unicode, result.description)) return false;
  if ((flags & kHasRelativePath) && !ReadCountedString(reader, unicode, ignored)) return false;
  if ((flags & kHasWorkingDir) && !ReadCountedString(reader, unicode, ignored)) return false;
  if ((flags & kHasArguments) && !ReadCountedString(reader, unicode, result.arguments)) return false;
  if ((flags & kHasIconLocation) && !ReadCountedString(reader, unicode, result.iconFile)) return false;
  link = result;
  return true;
}

}  // namespace tavlen::posix
