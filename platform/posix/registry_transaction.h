// Linux: many registry writes applied as one transaction, for tools such as
// tavlen-reg that must apply a whole file or nothing.
//
// While a RegistryTransaction lives, every Reg* call of this process runs
// inside it (other threads wait); each call is still atomic by itself, so a
// failed call leaves no partial change. Nothing is kept unless Commit()
// succeeds; destroying an uncommitted transaction rolls it back.
#pragma once

#include <mutex>

#include "platform/posix/win_base.h"

namespace tavlen::posix {

class RegistryTransaction {
 public:
  RegistryTransaction();
  ~RegistryTransaction();
  RegistryTransaction(const RegistryTransaction&) = delete;
  RegistryTransaction& operator=(const RegistryTransaction&) = delete;

  // ERROR_SUCCESS when the transaction started (the database opened).
  LONG Status() const { return m_status; }
  // Makes every write durable; the Win32 error code.
  LONG Commit();

 private:
  std::unique_lock<std::recursive_mutex> m_lock;
  LONG m_status;
  bool m_open;
};

}  // namespace tavlen::posix
