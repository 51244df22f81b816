// MS-DOS date and time, FILETIME, SYSTEMTIME and local time conversions, and
// the times of a file set through its handle.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/support/temp_folder.h"

namespace {

WORD DosDate(int year, int month, int day) { return static_cast<WORD>(((year - 1980) << 9) | (month << 5) | day); }
WORD DosTime(int hour, int minute, int second) { return static_cast<WORD>((hour << 11) | (minute << 5) | (second / 2)); }

TEST(FileTimes, DosDateTimeRoundTrip) {
  struct Case {
    int year, month, day, hour, minute, second;
    int dayOfWeek;
  };
  const Case cases[] = {
      {1980, 1, 1, 0, 0, 0, 2},       // the first DOS day, a Tuesday
      {2000, 2, 29, 23, 59, 58, 2},   // a leap day of a century leap year
      {2024, 12, 31, 12, 30, 10, 2},  // the last day of a leap year
      {2107, 12, 31, 23, 59, 58, 6},  // the last DOS day
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day);
    FILETIME time;
    ASSERT_TRUE(DosDateTimeToFileTime(DosDate(c.year, c.month, c.day), DosTime(c.hour, c.minute, c.second), &time));
    SYSTEMTIME fields;
    ASSERT_TRUE(FileTimeToSystemTime(&time, &fields));
    EXPECT_EQ(fields.wYear, c.year);
    EXPECT_EQ(fields.wMonth, c.month);
    EXPECT_EQ(fields.wDay, c.day);
    EXPECT_EQ(fields.wHour, c.hour);
    EXPECT_EQ(fields.wMinute, c.minute);
    EXPECT_EQ(fields.wSecond, c.second);
    EXPECT_EQ(fields.wMilliseconds, 0);
    EXPECT_EQ(fields.wDayOfWeek, c.dayOfWeek);
    WORD date = 0;
    WORD dosTime = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(&time, &date, &dosTime));
    EXPECT_EQ(date, DosDate(c.year, c.month, c.day));
    EXPECT_EQ(dosTime, DosTime(c.hour, c.minute, c.second));
    FILETIME back;
    ASSERT_TRUE(SystemTimeToFileTime(&fields, &back));
    EXPECT_EQ(CompareFileTime(&back, &time), 0);
  }
}

TEST(FileTimes, KnownFileTimeValue) {
  // 1980-01-01 00:00:00 is 119600064000000000 ticks after 1601-01-01.
  FILETIME time;
  ASSERT_TRUE(DosDateTimeToFileTime(DosDate(1980, 1, 1), 0, &time));
  const unsigned long long value = (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  EXPECT_EQ(value, 119600064000000000ULL);
}

TEST(FileTimes, InvalidDosFieldsAreRefused) {
  FILETIME time;
  EXPECT_FALSE(DosDateTimeToFileTime(DosDate(2001, 13, 1), 0, &time));
  EXPECT_FALSE(DosDateTimeToFileTime(DosDate(2001, 0, 1), 0, &time));
  EXPECT_FALSE(DosDateTimeToFileTime(DosDate(2001, 2, 0), 0, &time));
  EXPECT_FALSE(DosDateTimeToFileTime(DosDate(2001, 1, 1), DosTime(24, 0, 0), &time));
  EXPECT_FALSE(DosDateTimeToFileTime(DosDate(2001, 1, 1), DosTime(0, 60, 0), &time));
}

TEST(FileTimes, LocalTimeRoundTrip) {
  FILETIME local;
  ASSERT_TRUE(DosDateTimeToFileTime(DosDate(2015, 6, 15), DosTime(10, 20, 30), &local));
  FILETIME utc;
  FILETIME again;
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
  ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &again));
  EXPECT_EQ(CompareFileTime(&again, &local), 0);
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_GE(now.wYear, 2020);
  EXPECT_GE(now.wMonth, 1);
  EXPECT_LE(now.wMonth, 12);
}

TEST(FileTimes, SetFileTimeThroughAHandle) {
  tavlen::test::TempFolder folder;
  const std::string path = folder / "t.txt";
  ASSERT_TRUE(tavlen::test::WriteFileBytes(path, "x"));
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME creation, access, write;
  ASSERT_TRUE(GetFileTime(file, &creation, &access, &write));
  FILETIME local;
  FILETIME stamp;
  ASSERT_TRUE(DosDateTimeToFileTime(DosDate(2010, 3, 4), DosTime(5, 6, 8), &local));
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &stamp));
  ASSERT_TRUE(SetFileTime(file, &stamp, &access, &stamp));
  FILETIME newWrite, newAccess;
  ASSERT_TRUE(GetFileTime(file, nullptr, &newAccess, &newWrite));
  CloseHandle(file);
  EXPECT_EQ(CompareFileTime(&newWrite, &stamp), 0);
  EXPECT_EQ(CompareFileTime(&newAccess, &access), 0);
#ifndef _WIN32
  // A handle without write access cannot set times. Windows refuses it too;
  // wine 8 does not check the handle's access here.
  file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(SetFileTime(file, nullptr, nullptr, &local));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(file);
#endif
}

}  // namespace
