#include <tinyxml.h>

#include "actions/core/action_factory.h"
#include "actions/core/update_action.h"
#include "manifest/update_info.h"

namespace {

using ActionList = std::vector<std::unique_ptr<UpdateAction>>;

// The content of the element's first child node when that node is a text;
// otherwise (no element, an empty one, a comment or element first) empty.
std::string TextOf(const TiXmlElement* parent, const char* name) {
  const TiXmlElement* element = parent->FirstChildElement(name);
  if (element == nullptr) return {};
  const TiXmlNode* first = element->FirstChild();
  if (first == nullptr || first->ToText() == nullptr) return {};
  return first->Value();
}

std::string AttributeOf(const TiXmlElement* element, const char* name) {
  const char* value = element->Attribute(name);
  return value != nullptr ? value : "";
}

// The first container of that name: its first "action" element and every
// element after it, whatever its name, becomes an action when its type is
// registered.
void ParseActions(const TiXmlElement* package, const char* container, ActionList& actions) {
  const TiXmlElement* list = package->FirstChildElement(container);
  if (list == nullptr) return;
  for (const TiXmlElement* element = list->FirstChildElement("action"); element != nullptr;
       element = element->NextSiblingElement()) {
    std::unique_ptr<UpdateAction> action = CreateAction(AttributeOf(element, "type"));
    if (!action) continue;
    action->LoadFromElement(element);
    actions.push_back(std::move(action));
  }
}

void EmptyFromEnd(ActionList& actions) {
  while (!actions.empty()) actions.pop_back();
}

}  // namespace

UpdatePackage::UpdatePackage() = default;

UpdatePackage::~UpdatePackage() {
  EmptyFromEnd(m_preActions);
  EmptyFromEnd(m_actions);
  EmptyFromEnd(m_postActions);
}

bool UpdatePackage::ParsePackage(const TiXmlElement* element) {
  if (element == nullptr) return true;
  m_szName = AttributeOf(element, "name");
  m_szVersion = TextOf(element, "version");
  m_szDescription = TextOf(element, "description");
  m_szUrl = TextOf(element, "url");
  if (!m_szUrl.empty()) m_szMd5 = TextOf(element, "md5");
  ParseActions(element, "pre-actions", m_preActions);
  ParseActions(element, "actions", m_actions);
  ParseActions(element, "post-actions", m_postActions);
  return true;
}
