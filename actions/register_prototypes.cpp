#include "actions/core/action_factory.h"
#include "actions/copy_action.h"
#include "actions/mkdir_action.h"
#include "actions/open_action.h"
#include "actions/registry_action.h"
#include "actions/remove_action.h"
#include "actions/run_action.h"
#include "actions/send_message_action.h"
#include "actions/shortcut_action.h"
#include "actions/unzip_action.h"

// Each action type is registered here once it is complete, in this order:
// copy, shortcut, mkdir, open, registry, remove, run, sendmessage, unzip.
int ActionFactory::RegisterPrototypes() {
  Register(std::make_unique<CopyAction>());
  Register(std::make_unique<ShortcutAction>());
  Register(std::make_unique<MkdirAction>());
  Register(std::make_unique<OpenAction>());
  Register(std::make_unique<RegistryAction>());
  Register(std::make_unique<RemoveAction>());
  Register(std::make_unique<RunAction>());
  Register(std::make_unique<SendMessageAction>());
  Register(std::make_unique<UnzipAction>());
  return Count();
}
