// The nesting check before parsing must see at least every level the XML
// reader itself would open, whatever the text hides its tags in.
#include <gtest/gtest.h>

#include <tinyxml.h>

#include <string>

#include "manifest/nesting_guard.h"

namespace tavlen::test {
namespace {

// Depth of the reader's tree after parsing text (a failed parse keeps what it built).
std::size_t ReaderDepth(const TiXmlNode* node) {
  std::size_t deepest = 0;
  for (const TiXmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (child->ToElement() != nullptr) deepest = std::max(deepest, 1 + ReaderDepth(child));
  }
  return deepest;
}

// The smallest limit the check accepts the text with.
std::size_t GuardDepth(const std::string& text) {
  std::size_t limit = 0;
  while (FindExcessNesting(text, limit) != std::string::npos) ++limit;
  return limit;
}

TEST(NestingGuard, SeesEveryLevelTheReaderOpens) {
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"plain", "<a><b><c>x</c></b></a>"},
      {"empty elements", "<a><b/><c><d/></c></a>"},
      {"several top-level elements", "<a/><b><c><d></d></c></b>"},
      {"comment", "<a><!-- <b><c> --><d><e/></d></a>"},
      {"CDATA", "<a><![CDATA[<b><c>]]><d></d></a>"},
      {"attribute values", "<a x=\"<b>\" y='<c>'><d></d></a>"},
      {"entities in values", "<a x=\"&quot;<b>&#34;\"><c></c></a>"},
      {"unknown tag", "<a><!DOCTYPE <b><c>><d></d></a>"},
      {"declaration inside", "<a><?xml version=\"<b>\"?><c></c></a>"},
      {"spaces in end tags", "<a><b></b ></a >"},
      {"text with Chinese", "<a>中文<b>文字</b></a>"},
      {"UTF-8 lead byte swallows a comment start",
       "<?xml version=\"1.0\"?><a>\xE0<!--<b><c><d></d></c></b></a>"},
      {"legacy encoding keeps the comment", "<?xml version=\"1.0\" encoding=\"GBK\"?><a>\xE0<!--<b><c>--></a>"},
      {"UTF-8 lead byte swallows a quote",
       "<?xml version=\"1.0\"?><a x=\"\xE0\"><b><c>\" y=\"1\"><d></d></a>"},
      {"same bytes without declaration", "<a x=\"\xE0\"><b><c>\" y=\"1\"><d></d></a>"},
      {"byte-order mark", "\xEF\xBB\xBF<a>\xE0<!--<b><c></c></b></a>"},
      {"declaration after an element", "<z/><?xml version=\"1.0\"?><a>\xE0<!--<b></b></a>"},
      {"unquoted attribute", "<a x=1><b y=2/><c></c></a>"},
      {"broken end tag", "<a><b></c><d><e>"},
      {"truncated", "<a><b><c"},
  };
  for (const auto& c : cases) {
    TiXmlDocument document;
    const std::string padded = c.text + std::string(4, '\0');
    document.Parse(padded.c_str());
    const std::size_t reader = ReaderDepth(&document);
    const std::size_t guard = GuardDepth(c.text);
    // An element whose start tag the reader never finished adds one level
    // without recursing into its content.
    EXPECT_GE(guard + 1, reader) << c.name;
    if (!document.Error()) {
      EXPECT_LE(guard, reader) << c.name << " (well-formed: no false alarm)";
    }
  }
}

TEST(NestingGuard, ReportsTheFirstTagBeyondTheLimit) {
  const std::string text = "<a>\n <b>\n  <c><d/></c></b></a>";
  EXPECT_EQ(FindExcessNesting(text, 3), std::string::npos);
  const std::size_t offset = FindExcessNesting(text, 2);
  EXPECT_EQ(offset, text.find("<c>"));
  int row = 0;
  int column = 0;
  TextPosition(text, offset, row, column);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(column, 3);
}

}  // namespace
}  // namespace tavlen::test
