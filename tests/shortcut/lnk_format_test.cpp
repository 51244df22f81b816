// The Linux layer's .lnk reader and writer: round trip of every field, and
// files that are cut short or lie about their offsets are refused without
// reading past their end (the ASan build checks the reads).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/shell_link_format.h"
#include "platform/win32.h"

namespace {

using tavlen::posix::DecodeShellLink;
using tavlen::posix::EncodeShellLink;
using tavlen::posix::ShellLinkData;

ShellLinkData Sample() {
  ShellLinkData link;
  link.target = "C:\\Program Files\\Tavlen\\升级.exe";
  link.description = "升级工具";
  link.arguments = "-auto";
  link.iconFile = "C:\\icons\\app.ico";
  link.iconIndex = -2;
  link.targetSize = 1234;
  return link;
}

void Put32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST(LnkFormat, RoundTripKeepsEveryField) {
  ShellLinkData read;
  ASSERT_TRUE(DecodeShellLink(EncodeShellLink(Sample()), read));
  EXPECT_EQ(read.target, Sample().target);
  EXPECT_EQ(read.description, Sample().description);
  EXPECT_EQ(read.arguments, Sample().arguments);
  EXPECT_EQ(read.iconFile, Sample().iconFile);
  EXPECT_EQ(read.iconIndex, -2);
  EXPECT_EQ(read.targetSize, 1234u);

  ShellLinkData empty;
  ASSERT_TRUE(DecodeShellLink(EncodeShellLink(ShellLinkData{}), empty));
  EXPECT_EQ(empty.target, "");
  EXPECT_EQ(empty.description, "");
}

TEST(LnkFormat, TruncatedFilesAreRefused) {
  const std::string bytes = EncodeShellLink(Sample());
  // The last four bytes are the terminal block, which the reader does not need.
  for (size_t size = 0; size + 4 < bytes.size(); ++size) {
    ShellLinkData read;
    read.target = "untouched";
    EXPECT_FALSE(DecodeShellLink(bytes.substr(0, size), read)) << size;
    EXPECT_EQ(read.target, "untouched");
  }
}

TEST(LnkFormat, BadHeadersAndOffsetsAreRefused) {
  const std::string good = EncodeShellLink(Sample());
  constexpr size_t kInfo = 0x4C;  // the link information follows the header
  struct Patch {
    size_t at;
    uint32_t value;
  };
  struct Case {
    const char* what;
    std::vector<Patch> patches;
  } const cases[] = {
      {"header size", {{0, 0x4D}}},
      {"class id", {{4, 0x12345678}}},
      {"link info size beyond the file", {{kInfo, 0x7FFFFFFF}}},
      {"link info size too small", {{kInfo, 8}}},
      {"unicode path offset beyond the info", {{kInfo + 28, 0xFFFFFF}}},
      // An older info header without Unicode paths, whose ANSI path is elsewhere.
      {"ansi path offset beyond the info", {{kInfo + 4, 0x1C}, {kInfo + 16, 0xFFFF}}},
      {"id list longer than the file", {{0x14, 0x83}, {kInfo, 0xFFFF}}},
  };
  for (const auto& c : cases) {
    std::string bytes = good;
    for (const Patch& patch : c.patches) Put32(bytes, patch.at, patch.value);
    ShellLinkData read;
    EXPECT_FALSE(DecodeShellLink(bytes, read)) << c.what;
  }
}

TEST(LnkFormat, TextsAreRefusedWhenTheyDoNotFitMaxPath) {
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&link))));
  const std::string tooLong(MAX_PATH, 'x');
  EXPECT_EQ(link->SetPath(tooLong.c_str()), E_INVALIDARG);
  EXPECT_EQ(link->SetDescription(tooLong.c_str()), E_INVALIDARG);
  EXPECT_TRUE(SUCCEEDED(link->SetDescription(tooLong.substr(1).c_str())));
  char small[8] = {};
  EXPECT_TRUE(SUCCEEDED(link->GetDescription(small, sizeof small)));
  EXPECT_EQ(std::string(small), "xxxxxxx") << "cut to the buffer with its zero";
  link->Release();
}

}  // namespace
