#include "actions/core/action_factory.h"

#include "update/string_helpers.h"

ActionFactory& ActionFactory::Instance() {
  static ActionFactory factory;
  return factory;
}

void ActionFactory::Register(std::unique_ptr<UpdateAction> prototype) {
  if (!prototype) return;
  const std::string key = prototype->Type();
  m_prototypes[key] = std::move(prototype);
}

std::unique_ptr<UpdateAction> ActionFactory::CreateAction(const std::string& typeName) const {
  const auto entry = m_prototypes.find(ToLowerAscii(Trim(typeName, " \t\r\n\v\f")));
  if (entry == m_prototypes.end()) return nullptr;
  return entry->second->Clone();
}

void ActionFactory::DestroyPrototypes() { m_prototypes.clear(); }
