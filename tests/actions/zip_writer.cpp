#include "tests/actions/zip_writer.h"

#include <zlib.h>

namespace tavlen::test {

namespace {

void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string RawDeflate(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 16, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

}  // namespace

std::string BuildZip(const std::vector<ZipEntrySpec>& entries) {
  std::string archive;
  std::string directory;
  for (const ZipEntrySpec& entry : entries) {
    const uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size())));
    const std::string stored = entry.deflate ? RawDeflate(entry.data) : entry.data;
    const uint32_t offset = static_cast<uint32_t>(archive.size());
    const uint32_t method = entry.deflate ? 8 : 0;

    Put32(archive, 0x04034b50);
    Put16(archive, 20);
    Put16(archive, 0);
    Put16(archive, method);
    Put32(archive, entry.dosDate);
    Put32(archive, crc);
    Put32(archive, static_cast<uint32_t>(stored.size()));
    Put32(archive, static_cast<uint32_t>(entry.data.size()));
    Put16(archive, static_cast<uint32_t>(entry.name.size()));
    Put16(archive, 0);
    archive += entry.name;
    archive += stored;

    Put32(directory, 0x02014b50);
    Put16(directory, 20);
    Put16(directory, 20);
    Put16(directory, 0);
    Put16(directory, method);
    Put32(directory, entry.dosDate);
    Put32(directory, crc);
    Put32(directory, static_cast<uint32_t>(stored.size()));
    Put32(directory, static_cast<uint32_t>(entry.data.size()));
    Put16(directory, static_cast<uint32_t>(entry.name.size()));
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, 0);
    Put32(directory, entry.externalAttributes);
    Put32(directory, offset);
    directory += entry.name;
  }
  const uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
  archive += directory;
  Put32(archive, 0x06054b50);
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, static_cast<uint32_t>(entries.size()));
  Put16(archive, static_cast<uint32_t>(entries.size()));
  Put32(archive, static_cast<uint32_t>(directory.size()));
  Put32(archive, directoryOffset);
  Put16(archive, 0);
  return archive;
}

ZipEntrySpec FolderEntry(const std::string& name) {
  ZipEntrySpec entry;
  entry.name = name;
  entry.externalAttributes = 0x10;
  entry.deflate = false;
  return entry;
}

uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second) {
  const uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  const uint32_t time = static_cast<uint32_t>((hour << 11) | (minute << 5) | (second / 2));
  return (date << 16) | time;
}

}  // namespace tavlen::test
