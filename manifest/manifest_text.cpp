#include "manifest/manifest_text.h"

#include "update/install_context.h"
#include "update/string_helpers.h"

std::string EscapeXml(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  // Bytes are enough: none of the five is ever a trail byte in code page 936.
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&apos;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

namespace {

// A pass that finds nothing leaves the text as it is, without a copy of it.
std::string ReplaceVariable(std::string text, const char* variable, const std::string& folder) {
  if (text.find(variable) == std::string::npos) return text;
  return ReplaceAll(std::move(text), variable, EscapeXml(folder));
}

}  // namespace

std::string ExpandManifestPathVariables(std::string text) {
  const InstallContext& context = AppContext();
  text = ReplaceVariable(std::move(text), "${app_path}", context.m_szAppPath);
  text = ReplaceVariable(std::move(text), "${win_path}", context.m_szWinPath);
  return ReplaceVariable(std::move(text), "${sys32_path}", context.m_szSys32Path);
}
