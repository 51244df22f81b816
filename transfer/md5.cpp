// MD5 as RFC 1321 defines it, written for speed: the 64 steps are unrolled
// with their constants, and whole blocks are transformed straight from the
// caller's data.
#include "transfer/md5.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/crt.h"

namespace {

constexpr std::size_t kReadBlock = 102400;

inline uint32_t Load32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

inline uint32_t Rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return y ^ (z & (x ^ y)); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

#define MD5_STEP(f, a, b, c, d, x, t, s) \
  a += f(b, c, d) + (x) + (t);           \
  a = Rotl(a, s) + b

char g_digestText[33];

}  // namespace

Md5Digest::Md5Digest() : m_state{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u}, m_bitCount(0), m_buffer{} {}

void Md5Digest::Transform(const uint8_t block[64]) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = Load32(block + 4 * i);
  uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];

  MD5_STEP(F, a, b, c, d, x[0], 0xd76aa478u, 7);
  MD5_STEP(F, d, a, b, c, x[1], 0xe8c7b756u, 12);
  MD5_STEP(F, c, d, a, b, x[2], 0x242070dbu, 17);
  MD5_STEP(F, b, c, d, a, x[3], 0xc1bdceeeu, 22);
  MD5_STEP(F, a, b, c, d, x[4], 0xf57c0fafu, 7);
  MD5_STEP(F, d, a, b, c, x[5], 0x4787c62au, 12);
  MD5_STEP(F, c, d, a, b, x[6], 0xa8304613u, 17);
  MD5_STEP(F, b, c, d, a, x[7], 0xfd469501u, 22);
  MD5_STEP(F, a, b, c, d, x[8], 0x698098d8u, 7);
  MD5_STEP(F, d, a, b, c, x[9], 0x8b44f7afu, 12);
  MD5_STEP(F, c, d, a, b, x[10], 0xffff5bb1u, 17);
  MD5_STEP(F, b, c, d, a, x[11], 0x895cd7beu, 22);
  MD5_STEP(F, a, b, c, d, x[12], 0x6b901122u, 7);
  MD5_STEP(F, d, a, b, c, x[13], 0xfd987193u, 12);
  MD5_STEP(F, c, d, a, b, x[14], 0xa679438eu, 17);
  MD5_STEP(F, b, c, d, a, x[15], 0x49b40821u, 22);

  MD5_STEP(G, a, b, c, d, x[1], 0xf61e2562u, 5);
  MD5_STEP(G, d, a, b, c, x[6], 0xc040b340u, 9);
  MD5_STEP(G, c, d, a, b, x[11], 0x265e5a51u, 14);
  MD5_STEP(G, b, c, d, a, x[0], 0xe9b6c7aau, 20);
  MD5_STEP(G, a, b, c, d, x[5], 0xd62f105du, 5);
  MD5_STEP(G, d, a, b, c, x[10], 0x02441453u, 9);
  MD5_STEP(G, c, d, a, b, x[15], 0xd8a1e681u, 14);
  MD5_STEP(G, b, c, d, a, x[4], 0xe7d3fbc8u, 20);
  MD5_STEP(G, a, b, c, d, x[9], 0x21e1cde6u, 5);
  MD5_STEP(G, d, a, b, c, x[14], 0xc33707d6u, 9);
  MD5_STEP(G, c, d, a, b, x[3], 0xf4d50d87u, 14);
  MD5_STEP(G, b, c, d, a, x[8], 0x455a14edu, 20);
  MD5_STEP(G, a, b, c, d, x[13], 0xa9e3e905u, 5);
  MD5_STEP(G, d, a, b, c, x[2], 0xfcefa3f8u, 9);
  MD5_STEP(G, c, d, a, b, x[7], 0x676f02d9u, 14);
  MD5_STEP(G, b, c, d, a, x[12], 0x8d2a4c8au, 20);

  MD5_STEP(H, a, b, c, d, x[5], 0xfffa3942u, 4);
  MD5_STEP(H, d, a, b, c, x[8], 0x8771f681u, 11);
  MD5_STEP(H, c, d, a, b, x[11], 0x6d9d6122u, 16);
  MD5_STEP(H, b, c, d, a, x[14], 0xfde5380cu, 23);
  MD5_STEP(H, a, b, c, d, x[1], 0xa4beea44u, 4);
  MD5_STEP(H, d, a, b, c, x[4], 0x4bdecfa9u, 11);
  MD5_STEP(H, c, d, a, b, x[7], 0xf6bb4b60u, 16);
  MD5_STEP(H, b, c, d, a, x[10], 0xbebfbc70u, 23);
  MD5_STEP(H, a, b, c, d, x[13], 0x289b7ec6u, 4);
  MD5_STEP(H, d, a, b, c, x[0], 0xeaa127fau, 11);
  MD5_STEP(H, c, d, a, b, x[3], 0xd4ef3085u, 16);
  MD5_STEP(H, b, c, d, a, x[6], 0x04881d05u, 23);
  MD5_STEP(H, a, b, c, d, x[9], 0xd9d4d039u, 4);
  MD5_STEP(H, d, a, b, c, x[12], 0xe6db99e5u, 11);
  MD5_STEP(H, c, d, a, b, x[15], 0x1fa27cf8u, 16);
  MD5_STEP(H, b, c, d, a, x[2], 0xc4ac5665u, 23);

  MD5_STEP(I, a, b, c, d, x[0], 0xf4292244u, 6);
  MD5_STEP(I, d, a, b, c, x[7], 0x432aff97u, 10);
  MD5_STEP(I, c, d, a, b, x[14], 0xab9423a7u, 15);
  MD5_STEP(I, b, c, d, a, x[5], 0xfc93a039u, 21);
  MD5_STEP(I, a, b, c, d, x[12], 0x655b59c3u, 6);
  MD5_STEP(I, d, a, b, c, x[3], 0x8f0ccc92u, 10);
  MD5_STEP(I, c, d, a, b, x[10], 0xffeff47du, 15);
  MD5_STEP(I, b, c, d, a, x[1], 0x85845dd1u, 21);
  MD5_STEP(I, a, b, c, d, x[8], 0x6fa87e4fu, 6);
  MD5_STEP(I, d, a, b, c, x[15], 0xfe2ce6e0u, 10);
  MD5_STEP(I, c, d, a, b, x[6], 0xa3014314u, 15);
  MD5_STEP(I, b, c, d, a, x[13], 0x4e0811a1u, 21);
  MD5_STEP(I, a, b, c, d, x[4], 0xf7537e82u, 6);
  MD5_STEP(I, d, a, b, c, x[11], 0xbd3af235u, 10);
  MD5_STEP(I, c, d, a, b, x[2], 0x2ad7d2bbu, 15);
  MD5_STEP(I, b, c, d, a, x[9], 0xeb86d391u, 21);

  m_state[0] += a;
  m_state[1] += b;
  m_state[2] += c;
  m_state[3] += d;
}

void Md5Digest::Update(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::size_t held = static_cast<std::size_t>((m_bitCount >> 3) & 63);
  m_bitCount += static_cast<uint64_t>(size) << 3;
  if (held > 0) {
    const std::size_t take = std::min<std::size_t>(64 - held, size);
    std::memcpy(m_buffer + held, bytes, take);
    held += take;
    bytes += take;
    size -= take;
    if (held < 64) return;
    Transform(m_buffer);
  }
  for (; size >= 64; bytes += 64, size -= 64) Transform(bytes);
  if (size > 0) std::memcpy(m_buffer, bytes, size);
}

void Md5Digest::Final(uint8_t digest[16]) {
  const uint64_t bits = m_bitCount;
  uint8_t padding[72] = {0x80};
  const std::size_t held = static_cast<std::size_t>((bits >> 3) & 63);
  const std::size_t padLength = held < 56 ? 56 - held : 120 - held;
  Update(padding, padLength);
  uint8_t length[8];
  for (int i = 0; i < 8; ++i) length[i] = static_cast<uint8_t>(bits >> (8 * i));
  Update(length, 8);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<uint8_t>(m_state[i] >> (8 * j));
  }
}

const char* Md5Digest::OfFile(const std::string& path) {
  FILE* file = CrtOpen(path.c_str(), "rb");
  if (file == nullptr) return nullptr;
  static uint8_t block[kReadBlock];
  Md5Digest md5;
  bool failed = false;
  while (!std::feof(file)) {
    const std::size_t got = std::fread(block, 1, sizeof block, file);
    if (got > 0) md5.Update(block, got);
    // A read error ends the digest; an incomplete digest verifies nothing.
    if (std::ferror(file)) {
      failed = true;
      break;
    }
  }
  std::fclose(file);
  if (failed) return nullptr;
  uint8_t digest[16];
  md5.Final(digest);
  FormatHex(digest, g_digestText);
  return g_digestText;
}

std::string Md5Digest::OfBytes(const std::string& bytes) {
  Md5Digest md5;
  md5.Update(bytes.data(), bytes.size());
  uint8_t digest[16];
  md5.Final(digest);
  char text[33];
  FormatHex(digest, text);
  return text;
}

void Md5Digest::FormatHex(const uint8_t digest[16], char text[33]) {
  static const char kDigits[] = "0123456789abcdef";
  for (int i = 0; i < 16; ++i) {
    text[2 * i] = kDigits[digest[i] >> 4];
    text[2 * i + 1] = kDigits[digest[i] & 15];
  }
  text[32] = '\0';
}

std::string FileNameFromUrl(const std::string& url) {
  const auto slash = url.rfind('/');
  return slash == std::string::npos ? url : url.substr(slash + 1);
}
