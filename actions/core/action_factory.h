// The process-wide registry of action prototypes by type name; new actions
// are clones of the prototype.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "actions/core/update_action.h"

class ActionFactory {
 public:
  static ActionFactory& Instance();

  // Constructs one prototype of each action type, in registration order.
  // Returns the number of entries. Defined with the action types.
  int RegisterPrototypes();
  // Stores a prototype under its type name, replacing an entry of that name.
  void Register(std::unique_ptr<UpdateAction> prototype);
  // A new action of the type (trimmed, lower-cased), or none.
  std::unique_ptr<UpdateAction> CreateAction(const std::string& typeName) const;
  // Destroys every prototype and empties the map.
  void DestroyPrototypes();

  int Count() const { return static_cast<int>(m_prototypes.size()); }

 private:
  std::map<std::string, std::unique_ptr<UpdateAction>> m_prototypes;
};

// Convenience for the program-wide factory.
inline std::unique_ptr<UpdateAction> CreateAction(const std::string& typeName) {
  return ActionFactory::Instance().CreateAction(typeName);
}
