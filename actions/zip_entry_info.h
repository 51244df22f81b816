// What the zip extractor knows about one archive entry.
#pragma once

#include <cstdint>
#include <string>

struct ZipEntryInfo {
  std::string name;     // path inside the archive with "\" for "/"; at most 260 characters
  bool nameCut = false; // the stored name was longer and has been cut
  std::string comment;  // at most 255 characters
  uint32_t version = 0;
  uint32_t versionNeeded = 0;
  uint32_t flag = 0;
  uint32_t compressionMethod = 0;
  uint32_t dosDate = 0;  // date in the high 16 bits, time in the low, local time
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t internalAttributes = 0;
  uint32_t externalAttributes = 0;
  bool isFolder = false;  // the MS-DOS directory attribute (0x10) is set
};

// False for a name that would put the entry outside the destination folder:
// empty, absolute ("\..."), with a drive or stream colon, or with a ".."
// component.
bool IsSafeEntryName(const std::string& name);
