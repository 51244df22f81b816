// Linux: the kernel objects a wait function can wait on. Each exposes a file
// descriptor that poll() reports readable while the object is signalled.
#pragma once

#include "platform/posix/win_base.h"

namespace tavlen::posix {

class Waitable : public KernelObject {
 public:
  // Readable while signalled; owned by the object.
  virtual int SignalFd() const = 0;
  // Called when a wait saw the descriptor readable: true when the object is
  // still signalled and the wait may return for it (an auto-reset event is
  // reset here, so only one waiter gets it).
  virtual bool Acquire() { return true; }
};

}  // namespace tavlen::posix
