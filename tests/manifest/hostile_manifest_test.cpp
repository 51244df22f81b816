// Texts that are not manifests: each ends with one log line and a false
// result, without crashing or running out of memory.
#include <string>

#include "manifest/nesting_guard.h"
#include "manifest/update_info.h"
#include "tests/manifest/manifest_fixture.h"

namespace tavlen::test {
namespace {

std::string Repeat(const std::string& part, std::size_t count) {
  std::string text;
  text.reserve(part.size() * count);
  for (std::size_t i = 0; i < count; ++i) text += part;
  return text;
}

bool IsParseErrorLine(const std::string& line) {
  return line.rfind("Error in (Row: ", 0) == 0 && line.find(", Col ") != std::string::npos &&
         !line.empty() && line.back() == '\n';
}

class HostileManifestTest : public ManifestTest {
 protected:
  // Loads text and checks that it fails with exactly one log line; returns it.
  std::string LoadFails(const std::string& text) {
    Display().m_statusTexts.clear();
    UpdateInfo info;
    EXPECT_FALSE(info.LoadManifest(text));
    EXPECT_TRUE(info.m_packages.empty());
    EXPECT_TRUE(Display().m_newestVersions.empty());
    EXPECT_EQ(Display().m_statusTexts.size(), 1u);
    return LastStatus();
  }
};

TEST_F(HostileManifestTest, MalformedTextsEndWithTheReadersErrorLine) {
  const struct {
    const char* name;
    std::string text;
    const char* expectedStart;
  } cases[] = {
      {"empty", "", "Error in (Row: 1, Col 1) : "},
      {"blanks", " \t\r\n   \n", "Error in (Row: 3, Col 1) : "},
      {"html page", "<html><body><h1>502 Bad Gateway</h1><hr></body></html>", "Error in (Row: 1, Col "},
      {"truncated", std::string("<?xml version=\"1.0\"?>\n<updateinfo version=\"2.1.0.7\">\n  <package name=\"co"), "Error in (Row: "},
      {"truncated in a text", "<updateinfo version=\"9.0.0.0\"><package><url>http://x", "Error in (Row: 1, Col "},
      {"invalid bytes", "<updateinfo version=\"9\xff\xfe\x80\"><\xc0\xc1\xf5", "Error in (Row: 1, Col "},
      {"invalid UTF-8 at the end", "\xEF\xBB\xBF<updateinfo version=\"9.0.0.0\"><url>\xF0", "Error in (Row: 1, Col "},
      {"unterminated comment", "<updateinfo version=\"9.0.0.0\"><!-- <package>", "Error in (Row: 1, Col "},
      {"mismatched end tag", "<updateinfo>\n  <package></packages>\n</updateinfo>", "Error in (Row: 2, Col "},
  };
  for (const auto& c : cases) {
    const std::string line = LoadFails(c.text);
    EXPECT_TRUE(IsParseErrorLine(line)) << c.name << ": " << line;
    EXPECT_EQ(line.rfind(c.expectedStart, 0), 0u) << c.name << ": " << line;
  }
}

TEST_F(HostileManifestTest, WellFormedTextWithoutRootIsNotAManifest) {
  const char* const texts[] = {
      "<html><body>Service unavailable</body></html>",
      "<?xml version=\"1.0\"?><!-- no elements -->",
      "<UpdateInfo version=\"9.0.0.0\"><package/></UpdateInfo>",
      "<manifest><updateinfo version=\"9.0.0.0\"/></manifest>",
  };
  for (const char* text : texts) {
    EXPECT_EQ(LoadFails(text), kNoRootMessage) << text;
  }
}

TEST_F(HostileManifestTest, DeepNestingIsRefusedBeforeParsing) {
  const std::size_t kLevels = 100000;
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"open tags only", Repeat("<a>", kLevels)},
      {"balanced", "<updateinfo version=\"9.0.0.0\">" + Repeat("<a>", kLevels) + Repeat("</a>", kLevels) +
                       "</updateinfo>"},
      // After an encoding-less declaration the reader steps over UTF-8
      // sequences, so 0xE0 swallows "<!" and what follows is no comment.
      {"hidden behind a UTF-8 lead byte", "<?xml version=\"1.0\"?><updateinfo>\xE0<!--" + Repeat("<a>", kLevels)},
  };
  for (const auto& c : cases) {
    const std::string line = LoadFails(c.text);
    EXPECT_TRUE(IsParseErrorLine(line)) << c.name << ": " << line;
    EXPECT_NE(line.find("nested too deeply"), std::string::npos) << c.name << ": " << line;
  }
}

TEST_F(HostileManifestTest, NestingUpToTheLimitIsAccepted) {
  const std::size_t inner = kMaxManifestNesting - 1;
  UpdateInfo info;
  EXPECT_TRUE(info.LoadManifest("<updateinfo version=\"1.0.0.0\">" + Repeat("<a>", inner) + Repeat("</a>", inner) +
                                "</updateinfo>"));
}

TEST_F(HostileManifestTest, HugeAttributeIsHandled) {
  const std::string huge(50u << 20, 'x');
  const std::string truncated = "<updateinfo version=\"9.0.0.0\"><package><actions><action type=\"probe\" cmd=\"" + huge;
  EXPECT_TRUE(IsParseErrorLine(LoadFails(truncated)));
  EXPECT_EQ(LoadFails("<other cmd=\"" + huge + "\"/>"), kNoRootMessage);

  UpdateInfo info;
  ASSERT_TRUE(info.LoadManifest("<updateinfo version=\"9.0.0.0\"><package><actions><action type=\"probe\" cmd=\"" +
                                huge + "%PATH%\"/></actions></package></updateinfo>"));
  ASSERT_EQ(info.m_packages.size(), 1u);
  ASSERT_EQ(info.m_packages[0]->m_actions.size(), 1u);
  EXPECT_EQ(info.m_packages[0]->m_actions[0]->GetAttribute("cmd").size(), huge.size() + 6);
}

}  // namespace
}  // namespace tavlen::test
