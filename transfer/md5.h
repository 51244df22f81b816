// MD5 message digest (RFC 1321).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class Md5Digest {
 public:
  Md5Digest();
  void Update(const void* data, std::size_t size);
  // Finishes the digest into 16 bytes; the object must not be updated afterwards.
  void Final(uint8_t digest[16]);

  // The digest of the file's contents as 32 lowercase hexadecimal digits, or
  // null when the file cannot be opened. The text lives in one static buffer
  // that the next call overwrites.
  static const char* OfFile(const std::string& path);
  // The digest of bytes as 32 lowercase hexadecimal digits.
  static std::string OfBytes(const std::string& bytes);

 private:
  void Transform(const uint8_t block[64]);
  // Writes the 16 digest bytes as 32 lowercase hexadecimal digits and a zero.
  static void FormatHex(const uint8_t digest[16], char text[33]);

  uint32_t m_state[4];
  uint64_t m_bitCount;
  uint8_t m_buffer[64];
};

// The text after the last "/" of the URL; the whole text when there is none.
std::string FileNameFromUrl(const std::string& url);
