// File times: FILETIME (100 ns since 1601-01-01 UTC), SYSTEMTIME, MS-DOS
// date and time, local time and the handle calls that read and set them.
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/file_object.h"
#include "platform/posix/file_time_convert.h"

namespace tavlen::posix {

namespace {

constexpr uint64_t kTicksPerSecond = 10000000ULL;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochSeconds = 11644473600LL;
constexpr const char* kCreationAttribute = "user.tavlen.creation";

}  // namespace

uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME MakeFileTime(uint64_t value) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(value & 0xFFFFFFFFu);
  time.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return time;
}

FILETIME FileTimeFromUnix(const timespec& time) {
  const int64_t seconds = static_cast<int64_t>(time.tv_sec) + kUnixEpochSeconds;
  if (seconds < 0) return MakeFileTime(0);
  return MakeFileTime(static_cast<uint64_t>(seconds) * kTicksPerSecond + static_cast<uint64_t>(time.tv_nsec) / 100);
}

timespec UnixFromFileTime(const FILETIME& time) {
  const uint64_t value = FileTimeValue(time);
  timespec result{};
  result.tv_sec = static_cast<time_t>(static_cast<int64_t>(value / kTicksPerSecond) - kUnixEpochSeconds);
  result.tv_nsec = static_cast<long>((value % kTicksPerSecond) * 100);
  return result;
}

FILETIME CreationTimeOf(int fd, const std::string& path, const struct stat& info) {
  unsigned char stored[8];
  const ssize_t got = fd >= 0 ? fgetxattr(fd, kCreationAttribute, stored, sizeof stored)
                              : getxattr(path.c_str(), kCreationAttribute, stored, sizeof stored);
  if (got == static_cast<ssize_t>(sizeof stored)) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | stored[i];
    return MakeFileTime(value);
  }
  return FileTimeFromUnix(info.st_mtim);
}

bool StoreCreationTime(int fd, const FILETIME& time) {
  unsigned char stored[8];
  uint64_t value = FileTimeValue(time);
  for (unsigned char& byte : stored) {
    byte = static_cast<unsigned char>(value & 0xFF);
    value >>= 8;
  }
  return fsetxattr(fd, kCreationAttribute, stored, sizeof stored, 0) == 0;
}

}  // namespace tavlen::posix

namespace {

using tavlen::posix::FileTimeValue;
using tavlen::posix::MakeFileTime;

constexpr uint64_t kTicksPerSecond = 10000000ULL;
constexpr uint64_t kTicksPerDay = 86400ULL * kTicksPerSecond;
// Values with the top bit set are refused, as Windows refuses them.
constexpr uint64_t kLargestFileTime = 0x7FFFFFFFFFFFFFFFULL;

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int64_t year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the first day of the given month, for year >= 1601.
int64_t DaysBefore(int64_t year, int month) {
  const int64_t years = year - 1601;
  int64_t days = years * 365 + years / 4 - years / 100 + years / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days;
}

bool FieldsToFileTime(int64_t year, int month, int day, int hour, int minute, int second, int milliseconds,
                      uint64_t& value) {
  if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
      hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || milliseconds < 0 ||
      milliseconds > 999) {
    return false;
  }
  const int64_t days = DaysBefore(year, month) + day - 1;
  value = static_cast<uint64_t>(days) * kTicksPerDay +
          static_cast<uint64_t>((hour * 3600 + minute * 60 + second)) * kTicksPerSecond +
          static_cast<uint64_t>(milliseconds) * 10000ULL;
  return true;
}

void FileTimeToFields(uint64_t value, SYSTEMTIME& fields) {
  int64_t days = static_cast<int64_t>(value / kTicksPerDay);
  const uint64_t rest = value % kTicksPerDay;
  // 1601-01-01 was a Monday.
  fields.wDayOfWeek = static_cast<WORD>((days + 1) % 7);
  int64_t year = 1601 + days / 366;
  while (DaysBefore(year + 1, 1) <= days) ++year;
  days -= DaysBefore(year, 1);
  int month = 1;
  while (days >= DaysInMonth(year, month)) days -= DaysInMonth(year, month++);
  fields.wYear = static_cast<WORD>(year);
  fields.wMonth = static_cast<WORD>(month);
  fields.wDay = static_cast<WORD>(days + 1);
  const uint64_t seconds = rest / kTicksPerSecond;
  fields.wHour = static_cast<WORD>(seconds / 3600);
  fields.wMinute = static_cast<WORD>((seconds / 60) % 60);
  fields.wSecond = static_cast<WORD>(seconds % 60);
  fields.wMilliseconds = static_cast<WORD>((rest % kTicksPerSecond) / 10000);
}

// The current offset of local time from UTC, in 100 ns ticks.
int64_t LocalBias() {
  const time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  return static_cast<int64_t>(local.tm_gmtoff) * static_cast<int64_t>(kTicksPerSecond);
}

BOOL ShiftFileTime(const FILETIME* in, LPFILETIME out, int64_t shift) {
  if (in == nullptr || out == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto value = static_cast<int64_t>(FileTimeValue(*in));
  const int64_t shifted = value + shift;
  if (value < 0 || shifted < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *out = MakeFileTime(static_cast<uint64_t>(shifted));
  return TRUE;
}

BOOL FailWith(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

BOOL DosDateTimeToFileTime(WORD dosDate, WORD dosTime, LPFILETIME fileTime) {
  uint64_t value = 0;
  if (fileTime == nullptr ||
      !FieldsToFileTime(1980 + (dosDate >> 9), (dosDate >> 5) & 0x0F, dosDate & 0x1F, dosTime >> 11,
                        (dosTime >> 5) & 0x3F, (dosTime & 0x1F) * 2, 0, value)) {
    return FailWith(ERROR_INVALID_PARAMETER);
  }
  *fileTime = MakeFileTime(value);
  return TRUE;
}

BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* dosDate, WORD* dosTime) {
  if (fileTime == nullptr || dosDate == nullptr || dosTime == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
  SYSTEMTIME fields{};
  if (FileTimeValue(*fileTime) > kLargestFileTime) return FailWith(ERROR_INVALID_PARAMETER);
  FileTimeToFields(FileTimeValue(*fileTime), fields);
  if (fields.wYear < 1980 || fields.wYear > 2107) return FailWith(ERROR_INVALID_PARAMETER);
  *dosDate = static_cast<WORD>(((fields.wYear - 1980) << 9) | (fields.wMonth << 5) | fields.wDay);
  *dosTime = static_cast<WORD>((fields.wHour << 11) | (fields.wMinute << 5) | (fields.wSecond / 2));
  return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* localTime, LPFILETIME fileTime) {
  return ShiftFileTime(localTime, fileTime, -LocalBias());
}

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localTime) {
  return ShiftFileTime(fileTime, localTime, LocalBias());
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime) {
  if (fileTime == nullptr || systemTime == nullptr || FileTimeValue(*fileTime) > kLargestFileTime) {
    return FailWith(ERROR_INVALID_PARAMETER);
  }
  FileTimeToFields(FileTimeValue(*fileTime), *systemTime);
  return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime) {
  uint64_t value = 0;
  if (systemTime == nullptr || fileTime == nullptr ||
      !FieldsToFileTime(systemTime->wYear, systemTime->wMonth, systemTime->wDay, systemTime->wHour,
                        systemTime->wMinute, systemTime->wSecond, systemTime->wMilliseconds, value)) {
    return FailWith(ERROR_INVALID_PARAMETER);
  }
  *fileTime = MakeFileTime(value);
  return TRUE;
}

LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
  const uint64_t left = FileTimeValue(*a);
  const uint64_t right = FileTimeValue(*b);
  return left < right ? -1 : (left > right ? 1 : 0);
}

void GetSystemTimeAsFileTime(LPFILETIME fileTime) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  *fileTime = tavlen::posix::FileTimeFromUnix(now);
}

void GetSystemTime(LPSYSTEMTIME systemTime) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  FileTimeToFields(FileTimeValue(now), *systemTime);
}

void GetLocalTime(LPSYSTEMTIME systemTime) {
  FILETIME now;
  FILETIME local;
  GetSystemTimeAsFileTime(&now);
  if (!FileTimeToLocalFileTime(&now, &local)) local = now;
  FileTimeToFields(FileTimeValue(local), *systemTime);
}

BOOL GetFileTime(HANDLE handle, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite) {
  auto* file = tavlen::posix::FromHandle<tavlen::posix::FileObject>(handle);
  if (file == nullptr) return FailWith(ERROR_INVALID_HANDLE);
  struct stat info {};
  if (fstat(file->fd, &info) != 0) return FailWith(ERROR_INVALID_HANDLE);
  if (creation != nullptr) *creation = tavlen::posix::CreationTimeOf(file->fd, file->unixPath, info);
  if (lastAccess != nullptr) *lastAccess = tavlen::posix::FileTimeFromUnix(info.st_atim);
  if (lastWrite != nullptr) *lastWrite = tavlen::posix::FileTimeFromUnix(info.st_mtim);
  return TRUE;
}

BOOL SetFileTime(HANDLE handle, const FILETIME* creation, const FILETIME* lastAccess, const FILETIME* lastWrite) {
  auto* file = tavlen::posix::FromHandle<tavlen::posix::FileObject>(handle);
  if (file == nullptr) return FailWith(ERROR_INVALID_HANDLE);
  if (!file->canWrite) return FailWith(ERROR_ACCESS_DENIED);
  timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1] = times[0];
  // A zero FILETIME leaves that time alone, as on Windows.
  if (lastAccess != nullptr && FileTimeValue(*lastAccess) != 0) times[0] = tavlen::posix::UnixFromFileTime(*lastAccess);
  if (lastWrite != nullptr && FileTimeValue(*lastWrite) != 0) times[1] = tavlen::posix::UnixFromFileTime(*lastWrite);
  if (futimens(file->fd, times) != 0) return FailWith(tavlen::posix::ErrorFromErrno(errno, file->unixPath));
  if (creation != nullptr && FileTimeValue(*creation) != 0) tavlen::posix::StoreCreationTime(file->fd, *creation);
  return TRUE;
}
