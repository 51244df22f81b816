// The C runtime's fopen and remove over Windows paths, with Windows' text
// mode: a stream opened without "b" stores every LF as CR LF and reads
// CR LF back as LF.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/crt.h"
#include "platform/posix/file_object.h"

namespace {

struct TextStream {
  int fd = -1;
  std::string pending;  // raw bytes read but not yet handed out
  bool atEnd = false;
};

ssize_t TextRead(void* cookie, char* buffer, size_t size) {
  auto* stream = static_cast<TextStream*>(cookie);
  size_t out = 0;
  while (out < size) {
    // Keep at least two raw bytes when more may come, so that a CR at the
    // end of a chunk is judged with the byte after it.
    if (stream->pending.size() < 2 && !stream->atEnd) {
      char chunk[4096];
      const ssize_t got = read(stream->fd, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return out > 0 ? static_cast<ssize_t>(out) : -1;
      if (got == 0) stream->atEnd = true;
      stream->pending.append(chunk, static_cast<size_t>(got));
      continue;
    }
    if (stream->pending.empty()) break;
    size_t used = 0;
    while (out < size && used < stream->pending.size()) {
      const char c = stream->pending[used];
      if (c == '\r' && used + 1 >= stream->pending.size() && !stream->atEnd) break;
      if (c == '\r' && used + 1 < stream->pending.size() && stream->pending[used + 1] == '\n') {
        buffer[out++] = '\n';
        used += 2;
      } else {
        buffer[out++] = c;
        ++used;
      }
    }
    stream->pending.erase(0, used);
  }
  return static_cast<ssize_t>(out);
}

ssize_t TextWrite(void* cookie, const char* buffer, size_t size) {
  auto* stream = static_cast<TextStream*>(cookie);
  std::string raw;
  raw.reserve(size + size / 8 + 1);
  for (size_t i = 0; i < size; ++i) {
    if (buffer[i] == '\n') raw += '\r';
    raw += buffer[i];
  }
  size_t done = 0;
  while (done < raw.size()) {
    const ssize_t put = write(stream->fd, raw.data() + done, raw.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return 0;
    done += static_cast<size_t>(put);
  }
  return static_cast<ssize_t>(size);
}

int TextSeek(void* cookie, off64_t* offset, int whence) {
  auto* stream = static_cast<TextStream*>(cookie);
  off64_t target = *offset;
  // Positions are raw file offsets, as in the Windows runtime; bytes read
  // ahead are given back first.
  if (whence == SEEK_CUR) target -= static_cast<off64_t>(stream->pending.size());
  const off64_t result = lseek64(stream->fd, target, whence);
  if (result < 0) return -1;
  stream->pending.clear();
  stream->atEnd = false;
  *offset = result;
  return 0;
}

int TextClose(void* cookie) {
  auto* stream = static_cast<TextStream*>(cookie);
  const int result = close(stream->fd);
  delete stream;
  return result;
}

int ErrnoFromWin32(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_DISK_FULL:
      return ENOSPC;
    default:
      return EACCES;
  }
}

FILE* FailOpen(DWORD error) {
  SetLastError(error);
  errno = ErrnoFromWin32(error);
  return nullptr;
}

}  // namespace

FILE* CrtOpen(const char* path, const char* mode) {
  if (path == nullptr || mode == nullptr) return FailOpen(ERROR_INVALID_PARAMETER);
  const char kind = mode[0];
  const bool plus = std::strchr(mode, '+') != nullptr;
  const bool binary = std::strchr(mode, 'b') != nullptr;
  if (kind != 'r' && kind != 'w' && kind != 'a') return FailOpen(ERROR_INVALID_PARAMETER);
  tavlen::posix::MappedPath mapped;
  if (const DWORD error = tavlen::posix::MapWindowsPath(path, mapped); error != ERROR_SUCCESS) {
    return FailOpen(error);
  }
  const bool read = kind == 'r' || plus;
  const bool write = kind != 'r' || plus;
  const DWORD disposition = kind == 'r' ? OPEN_EXISTING : (kind == 'w' ? CREATE_ALWAYS : OPEN_ALWAYS);
  DWORD error = ERROR_SUCCESS;
  bool existed = false;
  // The runtime shares reading and writing but not deleting.
  const int fd = tavlen::posix::OpenFileDescriptor(mapped, read, write, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                   disposition, 0, error, existed);
  if (fd < 0) return FailOpen(error);
  if (kind == 'a') fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_APPEND);
  const char* unixMode = kind == 'r' ? (plus ? "r+" : "r") : (kind == 'w' ? (plus ? "w+" : "w") : (plus ? "a+" : "a"));
  if (binary) {
    // fdopen must not truncate again; the descriptor already is what "w" asks.
    FILE* file = fdopen(fd, kind == 'w' ? (plus ? "r+" : "w") : unixMode);
    if (file == nullptr) close(fd);
    return file;
  }
  auto* stream = new TextStream;
  stream->fd = fd;
  const cookie_io_functions_t functions{TextRead, TextWrite, TextSeek, TextClose};
  FILE* file = fopencookie(stream, unixMode, functions);
  if (file == nullptr) {
    close(fd);
    delete stream;
  }
  return file;
}

int CrtRemove(const char* path) {
  if (DeleteFileA(path)) return 0;
  errno = ErrnoFromWin32(GetLastError());
  return -1;
}
