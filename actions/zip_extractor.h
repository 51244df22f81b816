// This agent's small reader over minizip: it owns one open archive, walks its
// entries and writes the current one to disk, creating folders as needed and
// giving the file the entry's time stamp.
#pragma once

#include <cstdint>
#include <string>

#include "actions/zip_entry_info.h"

class ZipExtractor {
 public:
  ZipExtractor() = default;
  virtual ~ZipExtractor();
  ZipExtractor(const ZipExtractor&) = delete;
  ZipExtractor& operator=(const ZipExtractor&) = delete;

  // Closes any open archive, then opens the one at path (relative paths
  // against the current folder). False for an empty or too long path.
  bool Open(const std::string& path);
  // True when minizip closed the archive without error.
  bool Close();
  // Number of entries, 0 on failure or when nothing is open.
  uint32_t GetEntryCount();
  bool GoToFirstEntry();
  // False at the end of the archive and on any error.
  bool GoToNextEntry();
  bool GetEntryInfo(ZipEntryInfo& info);
  // Writes the current entry below folder with its archive path. A folder
  // entry only creates the folder. An entry whose name would leave folder
  // (see IsSafeEntryName) or that does not fit MAX_PATH is refused.
  bool ExtractEntryToFolder(const std::string& folder);
  // Writes the current entry's data into the file at path.
  bool ExtractEntryToFile(const std::string& path);

  // True when the folder exists afterwards; the first component of a path
  // (a drive) is taken as present.
  static bool EnsureFolderPath(const std::string& path);
  // EnsureFolderPath of the part before the last backslash; false without one.
  static bool EnsureParentFolder(const std::string& path);
  // Creation and last-write time := the MS-DOS time taken as local time.
  static bool SetFileTimeFromDos(const std::string& path, uint32_t dosDate);

 private:
  bool IsOpen() const { return m_hArchive != nullptr; }
  bool WriteCurrentEntry(const std::string& target, uint32_t dosDate);

  void* m_hArchive = nullptr;  // minizip's unzFile
};
