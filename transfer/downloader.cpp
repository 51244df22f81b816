// Download: one URL into a file or a text, in chunks of 4,096 bytes, through
// the WinINet calls.
#include "transfer/downloader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/display.h"
#include "platform/win32.h"
#include "transfer/chunk_writer.h"
#include "transfer/progress_scale.h"
#include "update/activity_log.h"
#include "update/path_helpers.h"
#include "update/string_helpers.h"

namespace {

constexpr DWORD kCanonicalSize = 1024;
constexpr DWORD kChunkSize = 4096;
constexpr DWORD kOpenFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_RESYNCHRONIZE | INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_NEED_FILE;

const char kUserAgent[] = "Tavlen_AutoUpdate_Agent";
const char kCannotSave[] = "无法保存下载的文件";
const char kDownloadError[] = "下载文件出错";
const char kWriteError[] = "保存下载文件出错";

// Creates the target's folder, and that folder's missing parents.
void CreateTargetFolder(const std::string& target) {
  const auto cut = LastBackslash(target);
  if (cut == std::string::npos || cut == 0) return;
  const std::string folder = target.substr(0, cut);
  if (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() != ERROR_PATH_NOT_FOUND) return;
  const auto parentCut = LastBackslash(folder);
  if (parentCut == std::string::npos || parentCut == 0) return;
  if (CreateDirectoryPath(folder.substr(0, parentCut))) CreateDirectoryA(folder.c_str(), nullptr);
}

// The body's size from Content-Length; -1 when the response has none or it
// is not a plain non-negative number.
int64_t ContentLength(HINTERNET request) {
  char text[32] = {};
  DWORD length = sizeof text;
  if (request == nullptr || !HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &length, nullptr)) return -1;
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || value < 0) return -1;
  return value;
}

// An HTTP error status (4xx, 5xx) means the body is an error page, not the
// file asked for.
bool IsErrorStatus(HINTERNET request) {
  DWORD status = 0;
  DWORD length = sizeof status;
  if (request == nullptr ||
      !HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr)) {
    return false;
  }
  return status >= 400;
}

}  // namespace

bool Download(std::string& url, std::string& target, bool toFile, bool showProgress) {
  char canonical[kCanonicalSize];
  DWORD canonicalLength = kCanonicalSize;
  if (!InternetCanonicalizeUrlA(url.c_str(), canonical, &canonicalLength, ICU_BROWSER_MODE)) {
    // A URL beyond the design's 1,024 bytes (or not a URL): nothing is fetched.
    LogActivity(kDownloadError, true);
    return false;
  }
  url = canonical;

  HANDLE file = INVALID_HANDLE_VALUE;
  if (toFile) {
    if (FitsMaxPath(target)) {
      CreateTargetFolder(target);
      file = CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
      LogActivity(kCannotSave, true);
      return false;
    }
  } else {
    target.clear();
  }

  bool result = true;
  // File mode only; held off the stack (64 KiB).
  auto writer = toFile ? std::make_unique<ChunkWriter>(file) : nullptr;
  // Every chunk that could not be stored is reported once.
  auto reportWrites = [&result](int failedChunks) {
    for (int i = 0; i < failedChunks; ++i) LogActivity(kWriteError, true);
    if (failedChunks > 0) result = false;
  };
  HINTERNET internet = InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET request =
      internet != nullptr ? InternetOpenUrlA(internet, url.c_str(), nullptr, 0, kOpenFlags, 0) : nullptr;
  const int64_t total = ContentLength(request);
  ProgressScale scale(total);
  if (showProgress) MainWindow().SetFileProgress(0, scale.Total());

  if (request != nullptr && IsErrorStatus(request)) {
    LogActivity(kDownloadError, true);
    result = false;
  } else {
    char chunk[kChunkSize];
    uint64_t received = 0;
    while (true) {
      DWORD got = 0;
      if (!InternetReadFile(request, chunk, kChunkSize, &got)) {
        LogActivity(kDownloadError, true);
        result = false;
        break;
      }
      if (got == 0) {
        // WinINet ends a body cut short by a clean close like a whole one:
        // fewer bytes than Content-Length announced is a failed download.
        if (total >= 0 && received != static_cast<uint64_t>(total)) {
          LogActivity(kDownloadError, true);
          result = false;
        }
        break;
      }
      received += got;
      if (showProgress) {
        MainWindow().SetFileProgress(scale.Position(received), -1);
        PumpOneMessage();
      }
      if (toFile) {
        reportWrites(writer->Add(chunk, got));
      } else {
        target.append(chunk, got);
      }
    }
    if (result && showProgress && total < 0) MainWindow().SetFileProgress(scale.Final(received), scale.Final(received));
  }

  if (toFile) {
    reportWrites(writer->Flush());
    CloseHandle(file);
  }
  if (request != nullptr) InternetCloseHandle(request);
  if (internet != nullptr) InternetCloseHandle(internet);
  return result;
}
