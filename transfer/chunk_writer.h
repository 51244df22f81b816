// Collects the downloader's chunks and writes them to the file in batches of
// up to 64 KiB: one system call per 4,096-byte chunk is the largest cost of
// a download on Linux. A batch that is not stored whole counts as one failed
// write for every chunk in it that did not reach the file.
#pragma once

#include <cstddef>
#include <cstring>

#include "platform/win32.h"

class ChunkWriter {
 public:
  explicit ChunkWriter(HANDLE file) : m_file(file) {}

  // Adds one chunk; returns the number of chunks that failed to be stored
  // (by a write this call made).
  int Add(const char* data, DWORD size) {
    int failed = 0;
    if (m_used + size > sizeof m_buffer || m_chunks == kMaxChunks) failed = Flush();
    std::memcpy(m_buffer + m_used, data, size);
    m_used += size;
    m_ends[m_chunks++] = m_used;
    return failed;
  }

  // Writes what is held; returns the number of chunks not stored whole.
  int Flush() {
    if (m_chunks == 0) return 0;
    DWORD written = 0;
    if (!WriteFile(m_file, m_buffer, static_cast<DWORD>(m_used), &written, nullptr)) written = 0;
    int failed = 0;
    for (std::size_t i = 0; i < m_chunks; ++i) failed += m_ends[i] > written ? 1 : 0;
    m_used = 0;
    m_chunks = 0;
    return failed;
  }

 private:
  static constexpr std::size_t kMaxChunks = 64;
  HANDLE m_file;
  char m_buffer[64 * 1024];
  std::size_t m_ends[kMaxChunks] = {};
  std::size_t m_used = 0;
  std::size_t m_chunks = 0;
};
