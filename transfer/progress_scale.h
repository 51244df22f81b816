// Maps a download's byte counts onto the 32-bit range of a progress bar: a
// body of 2 GiB or more is shown in units of 1 KiB or larger, so neither the
// range nor the position ever overflows.
#pragma once

#include <cstdint>

class ProgressScale {
 public:
  // total: the body's size in bytes, or -1 when it is not known.
  explicit ProgressScale(int64_t total) : m_total(total), m_shift(0) {
    while (total > 0 && (total >> m_shift) > INT32_MAX) ++m_shift;
  }

  // The range to set: the scaled size, or 0 (range left as it is) when the
  // size is unknown or 0.
  int32_t Total() const { return m_total > 0 ? static_cast<int32_t>(m_total >> m_shift) : 0; }

  // The bar position for the bytes received. Without a known size the bar
  // stays at 0: positions in bytes would mean nothing in the old range.
  int32_t Position(uint64_t received) const {
    if (m_total <= 0) return 0;
    const uint64_t scaled = received >> m_shift;
    return scaled > static_cast<uint64_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(scaled);
  }

  // For a body of unknown size that has ended: the bar's full range and
  // position, in the smallest unit that fits.
  static int32_t Final(uint64_t received) {
    while (received > static_cast<uint64_t>(INT32_MAX)) received >>= 10;
    return static_cast<int32_t>(received);
  }

 private:
  int64_t m_total;
  int m_shift;
};
