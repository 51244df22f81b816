// A .lnk written by the Linux build is read by the Windows build under wine,
// and one written under wine is read by the Linux build.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "platform/win32.h"

namespace {

namespace fs = std::filesystem;

// The Windows build of lnk_tool: $TAVLEN_WINDOWS_LNK_TOOL, or the first
// build folder of this source tree that has one.
std::string WindowsTool() {
  if (const char* configured = std::getenv("TAVLEN_WINDOWS_LNK_TOOL")) return configured;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(fs::path(TAVLEN_SOURCE_DIR) / "build", error)) {
    const fs::path tool = entry.path() / "tests" / "shortcut" / "lnk_tool.exe";
    if (fs::exists(tool, error)) return tool.string();
  }
  return std::string();
}

// Runs the Windows tool under wine; its output, empty on failure.
std::string RunUnderWine(const std::string& arguments) {
  const std::string command =
      std::string("'") + TAVLEN_SOURCE_DIR + "/scripts/wine-run.sh' '" + WindowsTool() + "' " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return std::string();
  std::string output;
  char buffer[512];
  size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  return pclose(pipe) == 0 ? output : std::string();
}

std::map<std::string, std::string> Fields(const std::string& output) {
  std::map<std::string, std::string> fields;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto equals = line.find('=');
    if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
    start = end + 1;
  }
  return fields;
}

std::string Quoted(const std::string& ansi) { return "'" + tavlen::posix::AnsiToUtf8(ansi) + "'"; }

class LnkExchangeTest : public testing::Test {
 protected:
  void SetUp() override {
    if (WindowsTool().empty()) GTEST_SKIP() << "no mingw-x64 build of lnk_tool.exe under build/";
    if (std::system("command -v wine >/dev/null 2>&1") != 0) GTEST_SKIP() << "wine is not installed";
    char pattern[] = "/tmp/tavlen-lnk-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_unixFolder = pattern;
    m_folder = "Z:" + m_unixFolder;
    for (char& c : m_folder) {
      if (c == '/') c = '\\';
    }
  }
  void TearDown() override {
    std::error_code ignored;
    if (!m_unixFolder.empty()) fs::remove_all(m_unixFolder, ignored);
  }
  std::string m_unixFolder;
  std::string m_folder;  // the same folder as both builds name it
};

const char* const kTarget = "C:\\Program Files\\Tavlen\\升级.exe";
const char* const kArguments = "-auto -p=partner";
const char* const kDescription = "升级工具 updater";
const char* const kIcon = "C:\\Program Files\\Tavlen\\app.ico";

TEST_F(LnkExchangeTest, LinuxWritesWindowsReads) {
  const std::string link = m_folder + "\\from-linux.lnk";
  CoInitialize(nullptr);
  IShellLinkA* shellLink = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&shellLink))));
  IPersistFile* file = nullptr;
  ASSERT_TRUE(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
  shellLink->SetPath(kTarget);
  shellLink->SetArguments(kArguments);
  shellLink->SetDescription(kDescription);
  shellLink->SetIconLocation(kIcon, 4);
  WCHAR wide[MAX_PATH];
  ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH), 0);
  EXPECT_TRUE(SUCCEEDED(file->Save(wide, TRUE)));
  file->Release();
  shellLink->Release();

  auto fields = Fields(RunUnderWine("read " + Quoted(link)));
  EXPECT_EQ(fields["target"], kTarget);
  EXPECT_EQ(fields["arguments"], kArguments);
  EXPECT_EQ(fields["description"], kDescription);
  EXPECT_EQ(fields["iconfile"], kIcon);
  EXPECT_EQ(fields["iconindex"], "4");
}

TEST_F(LnkExchangeTest, WindowsWritesLinuxReads) {
  const std::string link = m_folder + "\\from-wine.lnk";
  RunUnderWine("write " + Quoted(link) + " " + Quoted(kTarget) + " " + Quoted(kArguments) + " " +
               Quoted(kDescription) + " " + Quoted(kIcon) + " 7");
  ASSERT_TRUE(fs::exists(m_unixFolder + "/from-wine.lnk")) << "wine did not write the shortcut";

  CoInitialize(nullptr);
  IShellLinkA* shellLink = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&shellLink))));
  IPersistFile* file = nullptr;
  ASSERT_TRUE(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
  WCHAR wide[MAX_PATH];
  ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH), 0);
  ASSERT_TRUE(SUCCEEDED(file->Load(wide, STGM_READ)));
  char text[MAX_PATH] = {};
  int index = 0;
  shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_SHORTPATH);
  EXPECT_STREQ(text, kTarget);
  shellLink->GetArguments(text, MAX_PATH);
  EXPECT_STREQ(text, kArguments);
  shellLink->GetDescription(text, MAX_PATH);
  EXPECT_STREQ(text, kDescription);
  shellLink->GetIconLocation(text, MAX_PATH, &index);
  EXPECT_STREQ(text, kIcon);
  EXPECT_EQ(index, 7);
  file->Release();
  shellLink->Release();
}

}  // namespace
