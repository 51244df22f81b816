#include <gtest/gtest.h>

#include "app/startup.h"

namespace {

TEST(CommandLineTest, SwitchesPartnerAndNormalisation) {
  const struct {
    const char* commandLine;
    bool autoStart;
    bool help;
    const char* regKey;
  } cases[] = {
      {"", false, false, "SOFTWARE\\TAVLEN\\TAVLEN ACC"},
      {"-auto", true, false, "SOFTWARE\\TAVLEN\\TAVLEN ACC"},
      {"-AUTO -P=acme", true, false, "SOFTWARE\\TAVLEN\\ACME"},
      {"-p = acme", false, false, "SOFTWARE\\TAVLEN\\ACME"},
      {"-p\t=\tacme", false, false, "SOFTWARE\\TAVLEN\\ACME"},
      {"-p=one -p=two", false, false, "SOFTWARE\\TAVLEN\\TWO"},
      {"-p=a=b", false, false, "SOFTWARE\\TAVLEN\\TAVLEN ACC"},
      {"-p=", false, false, "SOFTWARE\\TAVLEN\\"},
      {"-p=\"big co\"", false, false, "SOFTWARE\\TAVLEN\\\"BIG"},
      {"-auto -help", true, true, "SOFTWARE\\TAVLEN\\TAVLEN ACC"},
      {"-help -p=acme", false, true, "SOFTWARE\\TAVLEN\\TAVLEN ACC"},
      {"/auto -x --auto", false, false, "SOFTWARE\\TAVLEN\\TAVLEN ACC"},
      // The bytes of a double-byte partner name are not upper-cased.
      {"-p=a乤b", false, false, "SOFTWARE\\TAVLEN\\A乤B"},
  };
  for (const auto& c : cases) {
    const StartupSwitches switches = ParseCommandLine(c.commandLine);
    EXPECT_EQ(switches.autoStart, c.autoStart) << c.commandLine;
    EXPECT_EQ(switches.help, c.help) << c.commandLine;
    EXPECT_EQ(switches.regKey, c.regKey) << c.commandLine;
  }
}

}  // namespace
