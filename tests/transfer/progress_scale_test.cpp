// The current-file bar for bodies of every size: 32-bit range and position
// that never overflow, and the fraction received kept.
#include <gtest/gtest.h>

#include <cstdint>

#include "transfer/progress_scale.h"

namespace {

TEST(ProgressScale, KeepsTheFractionWithin32Bits) {
  const int64_t kGiB = int64_t{1} << 30;
  for (const int64_t total : {int64_t{1}, int64_t{100000}, int64_t{INT32_MAX}, 2 * kGiB, 5 * kGiB, 4096 * kGiB}) {
    SCOPED_TRACE(total);
    const ProgressScale scale(total);
    ASSERT_GT(scale.Total(), 0);
    EXPECT_EQ(scale.Position(static_cast<uint64_t>(total)), scale.Total()) << "full at the end";
    EXPECT_EQ(scale.Position(0), 0);
    if (total >= 100) {
      const double half = static_cast<double>(scale.Position(static_cast<uint64_t>(total / 2))) / scale.Total();
      EXPECT_NEAR(half, 0.5, 0.01);
    }
  }
  EXPECT_EQ(ProgressScale(100000).Total(), 100000) << "small bodies are shown in bytes";
}

TEST(ProgressScale, UnknownOrEmptyBodyLeavesTheRange) {
  for (const int64_t total : {int64_t{-1}, int64_t{0}}) {
    const ProgressScale scale(total);
    EXPECT_EQ(scale.Total(), 0);
    EXPECT_EQ(scale.Position(12345), 0);
  }
  EXPECT_EQ(ProgressScale::Final(70000), 70000);
  EXPECT_GT(ProgressScale::Final(uint64_t{6} << 30), 0);
}

}  // namespace
