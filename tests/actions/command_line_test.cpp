// The Linux layer's reading of a command line: which names may be the
// program, and the argv a child receives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/process_command_line.h"

namespace {

using Strings = std::vector<std::string>;

TEST(CommandLine, ProgramCandidatesFollowTheWindowsOrder) {
  const struct {
    const char* line;
    Strings candidates;
  } cases[] = {
      {"prog", {"prog"}},
      {"  prog a b ", {"prog", "prog a", "prog a b"}},
      {"C:\\my dir\\prog x", {"C:\\my", "C:\\my dir\\prog", "C:\\my dir\\prog x"}},
      {"\"C:\\my dir\\prog\" x", {"C:\\my dir\\prog"}},
      {"\"unterminated quote", {"unterminated quote"}},
      {"prog\t\targ", {"prog", "prog\t\targ"}},
      {"   ", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(tavlen::posix::ProgramCandidates(c.line), c.candidates) << c.line;
}

TEST(CommandLine, ArgumentsSplitAsTheMsvcRuntimeDoes) {
  const struct {
    const char* line;
    Strings argv;
  } cases[] = {
      {"a b  c", {"a", "b", "c"}},
      {"\"a b\" c", {"a b", "c"}},
      {"a\\\\b \"c\\\\\" d", {"a\\\\b", "c\\", "d"}},
      {"a\\\"b", {"a\"b"}},
      {"\"x\"\"y\"", {"x\"y"}},
      {"\"\"", {""}},
      {"prog ", {"prog"}},
  };
  for (const auto& c : cases) EXPECT_EQ(tavlen::posix::SplitCommandLine(c.line), c.argv) << c.line;
}

}  // namespace
