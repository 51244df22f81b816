// File handles: CreateFileA and the calls that read, write and position them.
#include <unistd.h>

#include <cerrno>

#include "platform/posix/file_object.h"

using tavlen::posix::FileObject;

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES /*security*/, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE /*templateFile*/) {
  tavlen::posix::MappedPath mapped;
  DWORD error = tavlen::posix::MapWindowsPath(path, mapped);
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  const bool read = (access & (GENERIC_READ | GENERIC_ALL | GENERIC_EXECUTE)) != 0;
  const bool write = (access & (GENERIC_WRITE | GENERIC_ALL)) != 0;
  bool existed = false;
  const int fd = tavlen::posix::OpenFileDescriptor(mapped, read, write, shareMode, disposition, flagsAndAttributes,
                                                   error, existed);
  if (fd < 0) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  auto* file = new FileObject;
  file->fd = fd;
  file->canRead = read;
  file->canWrite = write;
  file->unixPath = mapped.unixPath;
  const bool reportExisting = existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
  SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return tavlen::posix::ToHandle(file);
}

namespace {

FileObject* FileFromHandle(HANDLE handle) {
  FileObject* file = tavlen::posix::FromHandle<FileObject>(handle);
  if (file == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return file;
}

}  // namespace

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD count, LPDWORD bytesRead, LPVOID /*overlapped*/) {
  if (bytesRead != nullptr) *bytesRead = 0;
  FileObject* file = FileFromHandle(handle);
  if (file == nullptr) return FALSE;
  if (!file->canRead) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  DWORD done = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (done < count) {
    const ssize_t got = read(file->fd, bytes + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      SetLastError(errno == EISDIR ? ERROR_ACCESS_DENIED : ERROR_READ_FAULT);
      return FALSE;
    }
    if (got == 0) break;
    done += static_cast<DWORD>(got);
  }
  if (bytesRead != nullptr) *bytesRead = done;
  return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD count, LPDWORD bytesWritten, LPVOID /*overlapped*/) {
  if (bytesWritten != nullptr) *bytesWritten = 0;
  FileObject* file = FileFromHandle(handle);
  if (file == nullptr) return FALSE;
  if (!file->canWrite) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  DWORD done = 0;
  const auto* bytes = static_cast<const char*>(buffer);
  while (done < count) {
    const ssize_t put = write(file->fd, bytes + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (bytesWritten != nullptr) *bytesWritten = done;
      SetLastError(errno == ENOSPC || errno == EDQUOT ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
      return FALSE;
    }
    done += static_cast<DWORD>(put);
  }
  if (bytesWritten != nullptr) *bytesWritten = done;
  return TRUE;
}

DWORD GetFileSize(HANDLE handle, LPDWORD sizeHigh) {
  FileObject* file = FileFromHandle(handle);
  if (file == nullptr) return INVALID_FILE_SIZE;
  struct stat info {};
  if (fstat(file->fd, &info) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  const auto size = static_cast<uint64_t>(info.st_size);
  if (sizeHigh != nullptr) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

DWORD SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD method) {
  FileObject* file = FileFromHandle(handle);
  if (file == nullptr) return INVALID_SET_FILE_POINTER;
  int whence = SEEK_SET;
  if (method == FILE_CURRENT) {
    whence = SEEK_CUR;
  } else if (method == FILE_END) {
    whence = SEEK_END;
  } else if (method != FILE_BEGIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  // Without a high part the distance is a signed 32-bit number; with one
  // the two make a signed 64-bit number.
  int64_t offset = distance;
  if (distanceHigh != nullptr) {
    offset = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                  static_cast<uint32_t>(distance));
  }
  const off_t current = lseek(file->fd, 0, SEEK_CUR);
  const off_t end = lseek(file->fd, 0, SEEK_END);
  lseek(file->fd, current, SEEK_SET);
  const int64_t base = whence == SEEK_SET ? 0 : (whence == SEEK_CUR ? current : end);
  if ((offset < 0 && base < -offset) || current < 0 || end < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  const off_t target = lseek(file->fd, static_cast<off_t>(base + offset), SEEK_SET);
  if (target < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh != nullptr) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(static_cast<uint64_t>(target) & 0xFFFFFFFFu);
}

BOOL SetEndOfFile(HANDLE handle) {
  FileObject* file = FileFromHandle(handle);
  if (file == nullptr) return FALSE;
  if (!file->canWrite) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  const off_t position = lseek(file->fd, 0, SEEK_CUR);
  if (position < 0 || ftruncate(file->fd, position) != 0) {
    SetLastError(tavlen::posix::ErrorFromErrno(errno, file->unixPath));
    return FALSE;
  }
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE handle) {
  FileObject* file = FileFromHandle(handle);
  if (file == nullptr) return FALSE;
  if (fsync(file->fd) != 0 && errno != EINVAL) {
    SetLastError(ERROR_WRITE_FAULT);
    return FALSE;
  }
  return TRUE;
}
