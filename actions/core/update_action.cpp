#include "actions/core/update_action.h"

#include <algorithm>

#include <tinyxml.h>

#include "actions/core/attribute_text.h"
#include "update/activity_log.h"
#include "update/string_helpers.h"

namespace {

const char kSkipErr[] = "skiperr";

// Names compare without regard to ASCII case, which never changes a name's
// length: the length test spares most comparisons the full multibyte one.
bool SameName(const std::string& a, const std::string& b) { return a.size() == b.size() && EqualsNoCase(a, b); }

bool IsSkipErrorName(const std::string& name) { return SameName(name, kSkipErr) || SameName(name, "skiperror"); }

}  // namespace

UpdateAction::UpdateAction(std::string typeName) : m_szType(std::move(typeName)) {}

UpdateAction::~UpdateAction() = default;

void UpdateAction::ResetAttributes() { SetAttribute(kSkipErr, m_bSkipError ? "1" : "0"); }

std::string UpdateAction::GetAttribute(const std::string& name) const {
  const std::string key = SameName(name, "skiperror") ? std::string(kSkipErr) : name;
  for (std::size_t i = 0; i < m_attrNames.size(); ++i) {
    if (SameName(m_attrNames[i], key)) return m_attrValues[i];
  }
  return {};
}

bool UpdateAction::SetAttribute(const std::string& name, const std::string& value) {
  // Copies first: name and value may be references into the list itself.
  std::string stored = name;
  std::string expanded = ExpandEnvironment(value);
  if (SameName(name, "description")) {
    m_szDescription = value;
  } else if (IsSkipErrorName(name)) {
    stored = kSkipErr;
    m_bSkipError = EqualsNoCase(value, "1") || EqualsNoCase(value, "true");
  }
  for (std::size_t i = 0; i < m_attrNames.size(); ++i) {
    if (SameName(m_attrNames[i], stored)) {
      m_attrValues[i] = std::move(expanded);
      return true;
    }
  }
  m_attrNames.push_back(std::move(stored));
  m_attrValues.push_back(std::move(expanded));
  return true;
}

void UpdateAction::ApplyAttributes() {
  const std::size_t count = m_attrNames.size();
  for (std::size_t i = 0; i < count && i < m_attrNames.size(); ++i) {
    const std::string name = m_attrNames[i];
    const std::string value = m_attrValues[i];
    SetAttribute(name, value);
  }
}

bool UpdateAction::Execute() { return true; }

std::unique_ptr<UpdateAction> UpdateAction::Clone() const { return nullptr; }

bool UpdateAction::DeclareAttributes(const std::string& namesText, const std::string& defaultsText) {
  SplitString(m_attrNames, namesText, ",", " \t");
  SplitString(m_attrValues, defaultsText, ",", " \t");
  const std::size_t count = std::min(m_attrNames.size(), m_attrValues.size());
  m_attrNames.resize(count);
  m_attrValues.resize(count);
  for (std::size_t k = 0; k < count && k < m_attrNames.size(); ++k) {
    const std::string name = m_attrNames[k];
    const std::string value = m_attrValues[k];
    SetAttribute(name, value);
  }
  if (GetAttribute(kSkipErr).empty()) SetAttribute(kSkipErr, m_bSkipError ? "1" : "0");
  return true;
}

bool UpdateAction::LoadFromElement(const TiXmlElement* element) {
  if (element == nullptr) return false;
  const std::size_t count = m_attrNames.size();
  for (std::size_t i = 0; i < count && i < m_attrNames.size(); ++i) {
    const std::string name = m_attrNames[i];
    const char* found = element->Attribute(name.c_str());
    std::string value = found != nullptr ? found : "";
    if (IsPathAttributeName(name)) value = CollapseDoubledBackslashes(value);
    SetAttribute(name, value);
  }
  return true;
}

void UpdateAction::SubstituteThisFile(const std::string& localPath) {
  static const std::string kToken = "${this_file}";
  const std::size_t count = m_attrNames.size();
  for (std::size_t i = 0; i < count && i < m_attrNames.size(); ++i) {
    if (m_attrValues[i].find(kToken) == std::string::npos) continue;
    const std::string name = m_attrNames[i];
    const std::string text = ReplaceAll(m_attrValues[i], kToken, localPath);
    SetAttribute(name, text);
  }
}

std::string UpdateAction::AttributeKey(const std::string& name) { return ToLowerAscii(Trim(name, " \t\r\n\v\f")); }

void UpdateAction::LogDescription() const {
  if (!m_szDescription.empty()) LogActivity(m_szDescription, true);
}
