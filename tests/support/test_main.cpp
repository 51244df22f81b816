// Entry point of every test program. On Linux each program runs over a prefix
// of its own in a fresh temporary folder, so tests never touch ~/.tavlen and
// programs running side by side do not share a registry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
#ifndef _WIN32
  std::string prefix;
  if (std::getenv("TAVLEN_TEST_PREFIX") == nullptr) {
    char pattern[] = "/tmp/tavlen-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 2;
    prefix = pattern;
    setenv("TAVLEN_PREFIX", prefix.c_str(), 1);
  } else {
    setenv("TAVLEN_PREFIX", std::getenv("TAVLEN_TEST_PREFIX"), 1);
  }
#endif
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
#ifndef _WIN32
  if (!prefix.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(prefix, ignored);
  }
#endif
  return result;
}
