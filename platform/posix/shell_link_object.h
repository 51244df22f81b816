// Linux: the shell link object behind CLSID_ShellLink. Internal to the
// shell area.
#pragma once

#include "platform/posix/win_shell.h"

namespace tavlen::posix {

// A new shell link object, returned through the interface asked for.
HRESULT CreateShellLinkObject(REFIID iid, void** object);

}  // namespace tavlen::posix
