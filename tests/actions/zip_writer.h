// Builds small zip archives for the tests, in memory, so each case states
// exactly the entries, attributes, times and damage it needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavlen::test {

struct ZipEntrySpec {
  std::string name;           // as stored, "/" separated
  std::string data;           // uncompressed content
  uint32_t dosDate = 0x5A2B6000;  // 2025-01-11 12:00:00 local
  uint32_t externalAttributes = 0x20;  // archive bit; 0x10 marks a folder
  bool deflate = true;
};

// The bytes of a zip archive holding the entries in this order.
std::string BuildZip(const std::vector<ZipEntrySpec>& entries);

// A folder entry: name ending in "/" with the directory attribute.
ZipEntrySpec FolderEntry(const std::string& name);

// MS-DOS date and time in one number: date high, time low.
uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace tavlen::test
