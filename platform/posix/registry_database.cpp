#include "platform/posix/registry_database.h"

#include <unistd.h>

#include <cstdio>

#include "platform/posix/prefix.h"
#include "platform/posix/registry_transaction.h"

namespace tavlen::posix::registry {

namespace {

// Marks the file as ours: "TVLR".
constexpr int kApplicationId = 0x54564C52;
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 30000;

const char* const kSchema =
    "CREATE TABLE reg_keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL,"
    " name BLOB NOT NULL, fold BLOB NOT NULL, UNIQUE(parent, fold));"
    "CREATE TABLE reg_values(id INTEGER PRIMARY KEY AUTOINCREMENT, key INTEGER NOT NULL,"
    " name BLOB NOT NULL, fold BLOB NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " UNIQUE(key, fold));"
    "INSERT INTO reg_keys(id, parent, name, fold) VALUES"
    " (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),"
    " (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),"
    " (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),"
    " (4, 0, 'HKEY_USERS', 'HKEY_USERS'),"
    " (5, 0, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG');"
    "PRAGMA user_version = 1;"
    "PRAGMA application_id = 1414941778;";

struct State {
  std::recursive_mutex mutex;
  sqlite3* db = nullptr;
  pid_t owner = 0;
  bool outerTransaction = false;
  bool reported = false;
};

State& TheState() {
  static State* state = new State;  // never destroyed: usable until exit
  return *state;
}

// Prints the first failure of the database file; later ones stay quiet.
void Report(const std::string& what) {
  State& state = TheState();
  if (state.reported) return;
  state.reported = true;
  std::fprintf(stderr, "tavlen: registry database %s: %s; the file is left as it is\n", DatabasePath().c_str(),
               what.c_str());
}

LONG MapCode(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return ERROR_SUCCESS;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
      return ERROR_BADDB;
    case SQLITE_CANTOPEN:
      return ERROR_CANTOPEN;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return ERROR_ACCESS_DENIED;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return ERROR_BUSY;
    case SQLITE_NOMEM:
      return ERROR_OUTOFMEMORY;
    case SQLITE_FULL:
      return ERROR_DISK_FULL;
    case SQLITE_TOOBIG:
      return ERROR_INVALID_PARAMETER;
    default:
      return ERROR_REGISTRY_IO_FAILED;
  }
}

LONG Exec(sqlite3* db, const char* sql) {
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  return rc == SQLITE_OK ? ERROR_SUCCESS : ErrorFromSqlite(db, rc);
}

LONG PragmaInt(sqlite3* db, const char* sql, int64_t& value) {
  Statement query(db, sql);
  value = query.Step() ? query.Int(0) : 0;
  return query.Error();
}

// Creates the tables in a new, empty database, or checks that an existing
// database is ours. Another process may be creating them at the same time.
LONG PrepareSchema(sqlite3* db) {
  int64_t tables = 0;
  if (LONG error = PragmaInt(db, "SELECT count(*) FROM sqlite_master", tables)) return error;
  if (tables == 0) {
    // WAL lets readers and one writer of other processes work at once.
    if (LONG error = Exec(db, "PRAGMA journal_mode=WAL")) return error;
    if (LONG error = Exec(db, "BEGIN IMMEDIATE")) return error;
    LONG error = PragmaInt(db, "SELECT count(*) FROM sqlite_master", tables);
    if (error == ERROR_SUCCESS && tables == 0) error = Exec(db, kSchema);
    if (error == ERROR_SUCCESS) error = Exec(db, "COMMIT");
    if (error != ERROR_SUCCESS) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (error != ERROR_SUCCESS) return error;
  }
  int64_t application = 0;
  int64_t version = 0;
  if (LONG error = PragmaInt(db, "PRAGMA application_id", application)) return error;
  if (LONG error = PragmaInt(db, "PRAGMA user_version", version)) return error;
  if (application != kApplicationId || version != kSchemaVersion) {
    Report("an SQLite database, but not a registry of this version");
    return ERROR_BADDB;
  }
  return ERROR_SUCCESS;
}

LONG OpenDatabase(sqlite3*& result) {
  State& state = TheState();
  // A connection inherited across fork() belongs to the parent: leave it be.
  if (state.db != nullptr && state.owner != getpid()) {
    state.db = nullptr;
    state.outerTransaction = false;
  }
  if (state.db != nullptr) {
    result = state.db;
    return ERROR_SUCCESS;
  }
  sqlite3* db = nullptr;
  const std::string path = DatabasePath();
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  LONG error = ERROR_SUCCESS;
  if (rc != SQLITE_OK) {
    error = ErrorFromSqlite(db, rc);
  } else {
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // The file is checked before anything may change it; synchronous=FULL
    // makes each commit durable before the call returns.
    error = PrepareSchema(db);
    if (error == ERROR_SUCCESS) error = Exec(db, "PRAGMA journal_mode=WAL");
    if (error == ERROR_SUCCESS) error = Exec(db, "PRAGMA synchronous=FULL");
  }
  if (error != ERROR_SUCCESS) {
    sqlite3_close_v2(db);
    return error;
  }
  state.db = db;
  state.owner = getpid();
  result = db;
  return ERROR_SUCCESS;
}

}  // namespace

std::unique_lock<std::recursive_mutex> LockRegistry() { return std::unique_lock<std::recursive_mutex>(TheState().mutex); }

std::string DatabasePath() { return PrefixFolder() + "/registry.db"; }

LONG ErrorFromSqlite(sqlite3* db, int rc) {
  const LONG error = MapCode(rc);
  if (error == ERROR_BADDB || error == ERROR_CANTOPEN || error == ERROR_REGISTRY_IO_FAILED) {
    const char* message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    Report(std::string(message) + " (SQLite error " + std::to_string(rc) + ")");
  }
  return error;
}

LONG RunWrite(const std::function<LONG(sqlite3*)>& body) {
  auto lock = LockRegistry();
  sqlite3* db = nullptr;
  if (LONG error = OpenDatabase(db)) return error;
  const bool nested = TheState().outerTransaction;
  if (LONG error = Exec(db, nested ? "SAVEPOINT reg_call" : "BEGIN IMMEDIATE")) return error;
  LONG error = body(db);
  if (error == ERROR_SUCCESS) error = Exec(db, nested ? "RELEASE reg_call" : "COMMIT");
  if (error != ERROR_SUCCESS) {
    if (nested) {
      sqlite3_exec(db, "ROLLBACK TO reg_call; RELEASE reg_call", nullptr, nullptr, nullptr);
    } else if (!sqlite3_get_autocommit(db)) {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
  }
  return error;
}

LONG RunRead(const std::function<LONG(sqlite3*)>& body) {
  auto lock = LockRegistry();
  sqlite3* db = nullptr;
  if (LONG error = OpenDatabase(db)) return error;
  return body(db);
}

LONG BeginOuterTransaction() {
  State& state = TheState();
  sqlite3* db = nullptr;
  if (LONG error = OpenDatabase(db)) return error;
  if (state.outerTransaction) return ERROR_BUSY;
  if (LONG error = Exec(db, "BEGIN IMMEDIATE")) return error;
  state.outerTransaction = true;
  return ERROR_SUCCESS;
}

LONG EndOuterTransaction(bool commit) {
  State& state = TheState();
  if (!state.outerTransaction || state.db == nullptr) return ERROR_INVALID_HANDLE;
  state.outerTransaction = false;
  LONG error = commit ? Exec(state.db, "COMMIT") : ERROR_SUCCESS;
  if ((!commit || error != ERROR_SUCCESS) && !sqlite3_get_autocommit(state.db)) {
    sqlite3_exec(state.db, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  return error;
}

Statement::Statement(sqlite3* db, const char* sql) : m_db(db) {
  const int rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
  if (rc != SQLITE_OK) Fail(rc);
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

void Statement::Fail(int rc) {
  if (m_error == ERROR_SUCCESS) m_error = ErrorFromSqlite(m_db, rc);
}

Statement& Statement::Bind(int index, int64_t value) {
  if (m_stmt != nullptr) {
    const int rc = sqlite3_bind_int64(m_stmt, index, value);
    if (rc != SQLITE_OK) Fail(rc);
  }
  return *this;
}

Statement& Statement::BindBytes(int index, const std::string& bytes) {
  if (m_stmt != nullptr) {
    // A non-null pointer keeps an empty name an empty blob rather than NULL.
    const int rc = sqlite3_bind_blob64(m_stmt, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) Fail(rc);
  }
  return *this;
}

bool Statement::Step() {
  if (m_stmt == nullptr || m_error != ERROR_SUCCESS) return false;
  const int rc = sqlite3_step(m_stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) Fail(rc);
  return false;
}

LONG Statement::Run() {
  while (Step()) {
  }
  return m_error;
}

int64_t Statement::Int(int column) const { return sqlite3_column_int64(m_stmt, column); }

std::string Statement::Bytes(int column) const {
  const void* data = sqlite3_column_blob(m_stmt, column);
  const int size = sqlite3_column_bytes(m_stmt, column);
  if (data == nullptr || size <= 0) return {};
  return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

}  // namespace tavlen::posix::registry

namespace tavlen::posix {

RegistryTransaction::RegistryTransaction() : m_lock(registry::LockRegistry()) {
  m_status = registry::BeginOuterTransaction();
  m_open = m_status == ERROR_SUCCESS;
}

RegistryTransaction::~RegistryTransaction() {
  if (m_open) registry::EndOuterTransaction(false);
}

LONG RegistryTransaction::Commit() {
  if (!m_open) return m_status != ERROR_SUCCESS ? m_status : ERROR_INVALID_HANDLE;
  m_open = false;
  return registry::EndOuterTransaction(true);
}

}  // namespace tavlen::posix
