// Md5Digest against the test suite of RFC 1321, fed whole and in uneven
// pieces; OfFile across its read blocks; FileNameFromUrl and the package
// file name derived from it.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_folder.h"
#include "transfer/md5.h"
#include "transfer/package_file_name.h"

namespace {

struct Vector {
  const char* message;
  const char* digest;
};

const Vector kRfcSuite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

std::string Hex(const uint8_t digest[16]) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (int i = 0; i < 16; ++i) {
    text += kDigits[digest[i] >> 4];
    text += kDigits[digest[i] & 15];
  }
  return text;
}

std::string DigestInPieces(const std::string& message, std::size_t piece) {
  Md5Digest md5;
  for (std::size_t at = 0; at < message.size(); at += piece) {
    md5.Update(message.data() + at, std::min(piece, message.size() - at));
  }
  uint8_t digest[16];
  md5.Final(digest);
  return Hex(digest);
}

TEST(Md5Digest, RfcSuiteWholeAndInPieces) {
  for (const auto& vector : kRfcSuite) {
    for (std::size_t piece : {std::size_t{1000}, std::size_t{1}, std::size_t{7}, std::size_t{63}}) {
      EXPECT_EQ(DigestInPieces(vector.message, piece), vector.digest) << '"' << vector.message << "\" by " << piece;
    }
  }
}

TEST(Md5Digest, PaddingBoundaries) {
  // Lengths around 56 and 64 bytes take the one- and two-block padding paths;
  // a message fed in one piece and byte by byte must agree.
  for (std::size_t length : {55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u}) {
    const std::string message(length, 'x');
    EXPECT_EQ(DigestInPieces(message, length), DigestInPieces(message, 1)) << length;
  }
  EXPECT_EQ(DigestInPieces(std::string(64, 'a'), 64), "014842d480b571495a4a0363793f7367");
}

TEST(Md5Digest, OfFile) {
  tavlen::test::TempFolder folder;
  ASSERT_TRUE(tavlen::test::WriteFileBytes(folder / "abc.txt", "abc"));
  ASSERT_TRUE(tavlen::test::WriteFileBytes(folder / "empty.bin", ""));
  // Larger than two read blocks of 102,400 bytes, with a partial last block.
  std::string big(250000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 31) >> 3);
  ASSERT_TRUE(tavlen::test::WriteFileBytes(folder / "big.bin", big));

  const char* abc = Md5Digest::OfFile(folder / "abc.txt");
  ASSERT_NE(abc, nullptr);
  EXPECT_STREQ(abc, "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_STREQ(Md5Digest::OfFile(folder / "empty.bin"), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_STREQ(Md5Digest::OfFile(folder / "big.bin"), DigestInPieces(big, big.size()).c_str());
  // One static buffer: the next digest overwrites the text of the last one.
  EXPECT_STREQ(abc, DigestInPieces(big, big.size()).c_str());

  EXPECT_EQ(Md5Digest::OfFile(folder / "missing.bin"), nullptr);
  EXPECT_EQ(Md5Digest::OfFile(folder.Path()), nullptr) << "a folder is not a file";
}

TEST(FileNameFromUrl, LastSegment) {
  const struct {
    const char* url;
    const char* name;
  } cases[] = {
      {"http://host/dir/core.zip", "core.zip"},
      {"http://host/dir/", ""},
      {"core.zip", "core.zip"},
      {"http://host/get?file=a/b.zip", "b.zip"},
      {"http://host/get.php?id=3", "get.php?id=3"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileNameFromUrl(c.url), c.name) << c.url;
}

TEST(PackageFileName, StaysInsideTheDownloadFolder) {
  const struct {
    const char* url;
    const char* name;
  } cases[] = {
      {"http://host/dir/core.zip", "core.zip"},
      {"http://host/get.php?id=3", "get.php"},
      {"http://host/get?file=a/b.zip", "get"},
      {"http://host/a.zip#part", "a.zip"},
      {"http://host/..\\..\\evil.exe", ".._.._evil.exe"},
      {"http://host/a:b*c|d\"e<f>g", "a_b_c_d_e_f_g"},
      {"http://host/..", ""},
      {"http://host/dir/", ""},
      // A double-byte character whose trail byte is "\\" (0x5C) stays whole.
      {"http://host/\x95\x5C.zip", "\x95\x5C.zip"},
  };
  for (const auto& c : cases) EXPECT_EQ(PackageFileName(c.url), c.name) << c.url;
}

}  // namespace
