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

std::string ExpandManifestPathVariables(std::string text) {
  const InstallContext& context = AppContext();
  text = ReplaceAll(std::move(text), "${app_path}", EscapeXml(context.m_szAppPath));
  text = ReplaceAll(std::move(text), "${win_path}", EscapeXml(context.m_szWinPath));
  return ReplaceAll(std::move(text), "${sys32_path}", EscapeXml(context.m_szSys32Path));
}
