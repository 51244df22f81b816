#include "manifest/update_info.h"

#include <tinyxml.h>

#include <cstdio>

#include "actions/core/action_factory.h"
#include "actions/core/update_action.h"
#include "app/display.h"
#include "manifest/manifest_text.h"
#include "manifest/nesting_guard.h"
#include "manifest/version_number.h"
#include "update/activity_log.h"

namespace {

// The reader's UTF-8 stepping can jump up to three bytes past the last
// character of a text that ends inside a sequence; zero bytes after the end
// keep every such read inside the buffer.
constexpr std::size_t kTerminatorPadding = 4;

void LogParseError(int row, int column, const std::string& documentName, const std::string& description) {
  char head[64];
  std::snprintf(head, sizeof head, "Error in (Row: %d, Col %d) ", row, column);
  LogActivity(head + documentName + ": " + description + "\n", true);
}

}  // namespace

const char* const kNoRootMessage = "Error in manifest: no top-level \"updateinfo\" element\n";

UpdateInfo::UpdateInfo() : m_document(std::make_unique<TiXmlDocument>()) {}

UpdateInfo::~UpdateInfo() {
  while (!m_packages.empty()) m_packages.pop_back();
}

bool UpdateInfo::LoadManifest(std::string text) {
  m_packages.clear();
  m_document->Clear();
  m_szVersion.clear();
  text = ExpandManifestPathVariables(std::move(text));

  const std::size_t tooDeep = FindExcessNesting(text);
  if (tooDeep != std::string::npos) {
    int row = 0;
    int column = 0;
    TextPosition(text, tooDeep, row, column);
    LogParseError(row, column, m_document->Value(), "Elements nested too deeply.");
    return false;
  }

  const std::size_t length = text.size();
  text.append(kTerminatorPadding, '\0');
  m_document->Parse(text.c_str());
  if (m_document->Error()) {
    int row = m_document->ErrorRow();
    int column = m_document->ErrorCol();
    // The reader gives no position when it runs out of text (an empty or
    // truncated text); the fault is then at the end of the text.
    if (row < 1 || column < 1) TextPosition(text, length, row, column);
    LogParseError(row, column, m_document->Value(), m_document->ErrorDesc());
    return false;
  }

  const TiXmlElement* root = m_document->FirstChildElement("updateinfo");
  if (root == nullptr) {
    LogActivity(kNoRootMessage, true);
    return false;
  }

  const char* version = root->Attribute("version");
  m_szVersion = version != nullptr ? version : "";
  MainWindow().SetNewestVersion(m_szVersion);
  if (CompareWithInstalled(m_szVersion) <= 0) {
    LogActivity("你使用的已经是最新版本", true);
    return true;
  }

  for (const TiXmlElement* element = root->FirstChildElement("package"); element != nullptr;
       element = element->NextSiblingElement("package")) {
    auto package = std::make_unique<UpdatePackage>();
    package->ParsePackage(element);
    m_packages.push_back(std::move(package));
  }
  return true;
}
