#include "actions/core/action_factory.h"

// Each action type is registered here once it is complete, in this order:
// copy, shortcut, mkdir, open, registry, remove, run, sendmessage, unzip.
int ActionFactory::RegisterPrototypes() {
  return Count();
}
