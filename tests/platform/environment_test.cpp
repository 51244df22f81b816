// The environment as Windows shows it, ExpandEnvironmentStringsA's buffer
// rules, the module path and the Windows folders.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32.h"

namespace {

std::string Variable(const char* name) {
  char value[1024] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

TEST(Environment, SetGetAndRemoveIgnoreCase) {
  ASSERT_TRUE(SetEnvironmentVariableA("Tavlen_Test_Var", "value 1"));
  EXPECT_EQ(Variable("TAVLEN_TEST_VAR"), "value 1");
  char small[4];
  EXPECT_EQ(GetEnvironmentVariableA("tavlen_test_var", small, sizeof small), 8u);
  ASSERT_TRUE(SetEnvironmentVariableA("TAVLEN_TEST_VAR", nullptr));
  SetLastError(0);
  EXPECT_EQ(GetEnvironmentVariableA("Tavlen_Test_Var", small, sizeof small), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND));
}

TEST(Environment, WindowsVariablesAreDefined) {
  for (const char* name : {"WINDIR", "SystemRoot", "SystemDrive", "USERPROFILE", "APPDATA", "LOCALAPPDATA", "TEMP",
                           "TMP", "ProgramFiles", "ALLUSERSPROFILE", "USERNAME", "COMPUTERNAME"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Variable(name).empty());
  }
  char windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
  EXPECT_EQ(_mbsicmp(reinterpret_cast<const unsigned char*>(Variable("SystemRoot").c_str()),
                     reinterpret_cast<const unsigned char*>(windows)),
            0);
  EXPECT_EQ(Variable("SystemDrive").size(), 2u);
}

TEST(Environment, ExpandKnownAndUnknownNames) {
  ASSERT_TRUE(SetEnvironmentVariableA("TAVLEN_A", "alpha"));
  struct Case {
    const char* source;
    const char* expected;
  };
  const Case cases[] = {
      {"%TAVLEN_A%", "alpha"},
      {"x%tavlen_a%y%TAVLEN_A%", "xalphayalpha"},
      {"%TAVLEN_UNKNOWN%\\file", "%TAVLEN_UNKNOWN%\\file"},
      {"100%", "100%"},
      {"no variables", "no variables"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    char out[64];
    const DWORD size = ExpandEnvironmentStringsA(c.source, out, sizeof out);
    EXPECT_STREQ(out, c.expected);
    EXPECT_EQ(size, std::strlen(c.expected) + 1);
  }
  SetEnvironmentVariableA("TAVLEN_A", nullptr);
}

TEST(Environment, ExpandNeverWritesPastTheBuffer) {
  const std::string longValue(300, 'v');
  ASSERT_TRUE(SetEnvironmentVariableA("TAVLEN_LONG", longValue.c_str()));
  const std::string expected = "C:\\" + longValue + "\\end";
  // The guard bytes after the buffer's end must stay untouched.
  char area[MAX_PATH + 64];
  std::memset(area, '#', sizeof area);
  const DWORD needed = ExpandEnvironmentStringsA("C:\\%TAVLEN_LONG%\\end", area, MAX_PATH);
  EXPECT_EQ(needed, expected.size() + 1);
  for (size_t i = MAX_PATH; i < sizeof area; ++i) ASSERT_EQ(area[i], '#') << i;
  char big[512];
  EXPECT_EQ(ExpandEnvironmentStringsA("C:\\%TAVLEN_LONG%\\end", big, sizeof big), expected.size() + 1);
  EXPECT_EQ(std::string(big), expected);
  // Asking for the size alone.
  EXPECT_EQ(ExpandEnvironmentStringsA("%TAVLEN_LONG%", nullptr, 0), longValue.size() + 1);
  SetEnvironmentVariableA("TAVLEN_LONG", nullptr);
}

TEST(Environment, ModuleFileNameBufferRules) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  ASSERT_GT(length, 3u);
  ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
  EXPECT_EQ(std::strlen(path), length);
  EXPECT_EQ(path[1], ':');
  EXPECT_EQ(path[2], '\\');
  EXPECT_NE(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);
  // A short buffer gets the start of the path and nothing past its end.
  char small[8];
  std::memset(small, '#', sizeof small);
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, 6), 6u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(small, 5), std::string(path, 5));
  EXPECT_EQ(small[6], '#');
#ifndef _WIN32
  // The Linux layer ends the cut path with a zero, as Windows 7 and later
  // do; wine 8 leaves it unterminated, as Windows XP did.
  EXPECT_EQ(small[5], '\0');
#endif
}

TEST(Environment, WindowsAndSystemFolders) {
  char windows[MAX_PATH];
  char system[MAX_PATH];
  const UINT windowsLength = GetWindowsDirectoryA(windows, sizeof windows);
  const UINT systemLength = GetSystemDirectoryA(system, sizeof system);
  ASSERT_GT(windowsLength, 0u);
  ASSERT_GT(systemLength, windowsLength);
  EXPECT_EQ(_mbsicmp(reinterpret_cast<const unsigned char*>((std::string(windows) + "\\system32").c_str()),
                     reinterpret_cast<const unsigned char*>(system)),
            0);
  EXPECT_NE(GetFileAttributesA(system) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  char small[3];
  EXPECT_EQ(GetWindowsDirectoryA(small, sizeof small), windowsLength + 1);
}

}  // namespace
