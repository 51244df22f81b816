// Linux: the registry's SQLite database, $TAVLEN_PREFIX/registry.db.
//
// One connection per process, opened on first use and guarded by a
// process-wide lock. A file that is not a registry database is reported once
// on stderr, by name, and left untouched; every call then fails with a Win32
// error code. Internal to the Linux registry and its tools.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "platform/posix/win_base.h"

namespace tavlen::posix::registry {

// Holds the registry lock for as long as it lives (re-entrant per thread).
std::unique_lock<std::recursive_mutex> LockRegistry();

// The database file's path.
std::string DatabasePath();

// Runs body on the open database as one atomic write: its own transaction,
// or a savepoint inside a RegistryTransaction. Changes are kept only when
// body returns ERROR_SUCCESS. Returns body's code or the database's error.
LONG RunWrite(const std::function<LONG(sqlite3*)>& body);
// Runs body on the open database without starting a write.
LONG RunRead(const std::function<LONG(sqlite3*)>& body);

// The Win32 error code for an SQLite result; database failures (corruption,
// unreadable file) are reported once on stderr.
LONG ErrorFromSqlite(sqlite3* db, int rc);

// Starts and ends the process's outer transaction (see RegistryTransaction).
LONG BeginOuterTransaction();
LONG EndOuterTransaction(bool commit);

// A prepared statement; every failure is kept as a Win32 error code.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, int64_t value);
  Statement& BindBytes(int index, const std::string& bytes);
  // True while a row is available; false at the end or on an error.
  bool Step();
  // Runs the statement to its end; the Win32 error code.
  LONG Run();
  int64_t Int(int column) const;
  std::string Bytes(int column) const;
  // ERROR_SUCCESS, or the code of the first failure.
  LONG Error() const { return m_error; }

 private:
  void Fail(int rc);

  sqlite3* m_db;
  sqlite3_stmt* m_stmt = nullptr;
  LONG m_error = 0;
};

}  // namespace tavlen::posix::registry
