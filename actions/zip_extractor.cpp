#include "actions/zip_extractor.h"

#include <unzip.h>

#include "platform/win32.h"
#include "update/path_helpers.h"
#include "update/string_helpers.h"

namespace {

constexpr size_t kNameBuffer = 260;
constexpr size_t kCommentBuffer = 255;
constexpr unsigned kCopyBuffer = 2048;

unzFile Archive(void* handle) { return static_cast<unzFile>(handle); }

#ifndef _WIN32
// The archive path is a Windows path: open it through the layer that maps
// it into the prefix.
voidpf ZCALLBACK OpenMapped(voidpf, const char* filename, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ || filename == nullptr) return nullptr;
  return CrtOpen(filename, "rb");
}
#endif

unzFile OpenArchive(const char* fullPath) {
#ifdef _WIN32
  return unzOpen(fullPath);
#else
  zlib_filefunc_def functions;
  fill_fopen_filefunc(&functions);
  functions.zopen_file = OpenMapped;
  return unzOpen2(fullPath, &functions);
#endif
}

// True when the path names an existing folder.
bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

ZipExtractor::~ZipExtractor() { Close(); }

bool ZipExtractor::Open(const std::string& path) {
  Close();
  if (path.empty() || !FitsMaxPath(path)) return false;
  char fullPath[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, fullPath, nullptr);
  if (length == 0 || length >= MAX_PATH) return false;
  m_hArchive = OpenArchive(fullPath);
  return IsOpen();
}

bool ZipExtractor::Close() {
  if (!IsOpen()) return false;
  unzCloseCurrentFile(Archive(m_hArchive));
  const int result = unzClose(Archive(m_hArchive));
  m_hArchive = nullptr;
  return result == UNZ_OK;
}

uint32_t ZipExtractor::GetEntryCount() {
  if (!IsOpen()) return 0;
  unz_global_info global{};
  if (unzGetGlobalInfo(Archive(m_hArchive), &global) != UNZ_OK) return 0;
  return static_cast<uint32_t>(global.number_entry);
}

bool ZipExtractor::GoToFirstEntry() { return IsOpen() && unzGoToFirstFile(Archive(m_hArchive)) == UNZ_OK; }

bool ZipExtractor::GoToNextEntry() { return IsOpen() && unzGoToNextFile(Archive(m_hArchive)) == UNZ_OK; }

bool ZipExtractor::GetEntryInfo(ZipEntryInfo& info) {
  info = ZipEntryInfo{};
  if (!IsOpen()) return false;
  // One byte more than minizip may fill, so a cut name stays terminated.
  char name[kNameBuffer + 1] = {};
  char comment[kCommentBuffer + 1] = {};
  unz_file_info file{};
  if (unzGetCurrentFileInfo(Archive(m_hArchive), &file, name, kNameBuffer, nullptr, 0, comment, kCommentBuffer) !=
      UNZ_OK) {
    return false;
  }
  info.name = name;
  info.nameCut = file.size_filename > kNameBuffer;
  for (char& c : info.name) {
    if (c == '/') c = '\\';
  }
  info.comment = comment;
  info.version = static_cast<uint32_t>(file.version);
  info.versionNeeded = static_cast<uint32_t>(file.version_needed);
  info.flag = static_cast<uint32_t>(file.flag);
  info.compressionMethod = static_cast<uint32_t>(file.compression_method);
  info.dosDate = static_cast<uint32_t>(file.dosDate);
  info.crc = static_cast<uint32_t>(file.crc);
  info.compressedSize = static_cast<uint32_t>(file.compressed_size);
  info.uncompressedSize = static_cast<uint32_t>(file.uncompressed_size);
  info.internalAttributes = static_cast<uint32_t>(file.internal_fa);
  info.externalAttributes = static_cast<uint32_t>(file.external_fa);
  info.isFolder = (info.externalAttributes & 0x10u) != 0;
  return true;
}

bool ZipExtractor::ExtractEntryToFolder(const std::string& folder) {
  if (!IsOpen()) return false;
  if (!EnsureFolderPath(folder)) return false;
  ZipEntryInfo info;
  if (!GetEntryInfo(info)) return false;
  if (info.nameCut || !IsSafeEntryName(info.name)) return false;
  std::string target = folder;
  if (!target.empty() && target.back() != '\\' && target.back() != '/') target += '\\';
  target += info.name;
  if (!FitsMaxPath(target)) return false;
  if (info.isFolder) return EnsureFolderPath(target);
  if (!EnsureParentFolder(target)) return false;
  return WriteCurrentEntry(target, info.dosDate);
}

bool ZipExtractor::ExtractEntryToFile(const std::string& path) {
  if (!IsOpen() || path.empty() || !FitsMaxPath(path)) return false;
  if (!EnsureParentFolder(path)) return false;
  ZipEntryInfo info;
  if (!GetEntryInfo(info)) return false;
  return WriteCurrentEntry(path, info.dosDate);
}

bool ZipExtractor::WriteCurrentEntry(const std::string& target, uint32_t dosDate) {
  HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (unzOpenCurrentFile(Archive(m_hArchive)) != UNZ_OK) {
    CloseHandle(file);
    return false;
  }
  char buffer[kCopyBuffer];
  int got = 0;
  bool written = true;
  while ((got = unzReadCurrentFile(Archive(m_hArchive), buffer, kCopyBuffer)) > 0) {
    DWORD done = 0;
    if (!WriteFile(file, buffer, static_cast<DWORD>(got), &done, nullptr) || done != static_cast<DWORD>(got)) {
      written = false;
      break;
    }
  }
  CloseHandle(file);
  // Success is the end of the data with every write complete; the CRC
  // result of closing is not looked at (the package was verified by MD5).
  unzCloseCurrentFile(Archive(m_hArchive));
  const bool ok = written && got == 0;
  if (ok) SetFileTimeFromDos(target, dosDate);
  return ok;
}

bool ZipExtractor::EnsureFolderPath(const std::string& path) {
  if (path.empty()) return true;
  if (!FitsMaxPath(path)) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const auto cut = LastBackslash(path);
  if (cut == std::string::npos) return true;
  if (!EnsureFolderPath(path.substr(0, cut))) return false;
  return CreateDirectoryA(path.c_str(), nullptr) || IsFolder(path);
}

bool ZipExtractor::EnsureParentFolder(const std::string& path) {
  const auto cut = LastBackslash(path);
  if (cut == std::string::npos) return false;
  return EnsureFolderPath(path.substr(0, cut));
}

bool ZipExtractor::SetFileTimeFromDos(const std::string& path, uint32_t dosDate) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME created{}, accessed{}, modified{}, local{}, utc{};
  const bool ok = GetFileTime(file, &created, &accessed, &modified) &&
                  DosDateTimeToFileTime(static_cast<WORD>(dosDate >> 16), static_cast<WORD>(dosDate & 0xFFFF), &local) &&
                  LocalFileTimeToFileTime(&local, &utc) && SetFileTime(file, &utc, &accessed, &utc);
  CloseHandle(file);
  return ok;
}
