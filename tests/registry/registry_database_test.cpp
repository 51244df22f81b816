// Linux only: the guarantees of the prefix's registry database itself
// (transactions, durability, several processes, a damaged file).
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/posix/prefix.h"
#include "platform/posix/registry_transaction.h"
#include "platform/posix/win_registry.h"
#include "tests/registry/child_process.h"

namespace tavlen::test {
namespace {

const char kTestKey[] = "Software\\TavlenTest\\Database";

HKEY CreateKey(const std::string& path) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  return key;
}

bool ValueExists(HKEY key, const std::string& name) {
  return RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string IntegrityCheck(const std::string& path) {
  sqlite3* db = nullptr;
  std::string result = "cannot open";
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
        sqlite3_step(check) == SQLITE_ROW) {
      result = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
    }
    sqlite3_finalize(check);
  }
  sqlite3_close(db);
  return result;
}

class RegistryDatabaseTest : public testing::Test {
 protected:
  void SetUp() override { DeleteTestKey(); }
  void TearDown() override { DeleteTestKey(); }

  static void DeleteTestKey() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[MAX_PATH];
    DWORD length = MAX_PATH;
    while (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
      RegDeleteKeyA(key, name);
      length = MAX_PATH;
    }
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
  }
};

TEST_F(RegistryDatabaseTest, TransactionKeepsAllOrNothing) {
  const std::string base = std::string(kTestKey) + "\\Tx";
  {
    tavlen::posix::RegistryTransaction transaction;
    ASSERT_EQ(transaction.Status(), ERROR_SUCCESS);
    HKEY key = CreateKey(base + "\\Dropped");
    RegCloseKey(key);
  }  // not committed
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (base + "\\Dropped").c_str(), 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);

  {
    tavlen::posix::RegistryTransaction transaction;
    key = CreateKey(base + "\\Kept");
    const DWORD value = 5;
    EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4), ERROR_SUCCESS);
    // A failing call inside the transaction leaves no half of itself behind:
    // the first two keys of this path would exist before the long name fails.
    HKEY failed = nullptr;
    const std::string tooLong = base + "\\Half\\Way\\" + std::string(300, 'x');
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, tooLong.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &failed,
                              nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(transaction.Commit(), ERROR_SUCCESS);
  }
  EXPECT_TRUE(ValueExists(key, "v"));
  RegCloseKey(key);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (base + "\\Half").c_str(), 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  // Clean up the nested test keys.
  RegDeleteKeyA(HKEY_CURRENT_USER, (base + "\\Kept").c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, base.c_str());
}

TEST_F(RegistryDatabaseTest, KilledWriterLeavesEveryCommittedWrite) {
  const std::string path = std::string(kTestKey) + "\\Killed";
  long lastReported = -1;
  {
    RunningProcess writer({REGISTRY_CHILD, "write", path, "v", "1000000"});
    std::string line;
    while (lastReported < 300 && writer.ReadLine(line)) lastReported = std::atol(line.c_str());
    writer.Kill(SIGKILL);
    // Writes reported before the kill took effect are committed as well.
    while (writer.ReadLine(line)) lastReported = std::atol(line.c_str());
    const int status = writer.Wait();
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer ended before it was killed";
  }
  ASSERT_GE(lastReported, 300);
  EXPECT_EQ(IntegrityCheck(tavlen::posix::PrefixFolder() + "/registry.db"), "ok");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  long missing = 0;
  for (long i = 0; i <= lastReported; ++i) missing += ValueExists(key, "v" + std::to_string(i)) ? 0 : 1;
  EXPECT_EQ(missing, 0);
  // The database still takes writes after the crash.
  const DWORD value = 1;
  EXPECT_EQ(RegSetValueExA(key, "after", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegistryDatabaseTest, TwoProcessesWritingAtOnceLoseNothing) {
  const std::string path = std::string(kTestKey) + "\\Shared";
  RunningProcess first({REGISTRY_CHILD, "write", path, "a", "1000"});
  RunningProcess second({REGISTRY_CHILD, "write", path, "b", "1000"});
  for (RunningProcess* writer : {&first, &second}) {
    std::string line;
    std::string last;
    while (writer->ReadLine(line)) last = line;
    const int status = writer->Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << last;
    EXPECT_EQ(last, "999");
  }
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  std::set<std::string> names;
  char name[MAX_PATH];
  for (DWORD index = 0;; ++index) {
    DWORD length = MAX_PATH;
    if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.insert(name);
  }
  RegCloseKey(key);
  EXPECT_EQ(names.size(), 2000u);
  EXPECT_TRUE(names.count("a0") && names.count("a999") && names.count("b0") && names.count("b999"));
}

// A damaged registry.db in a prefix of its own, used by child processes.
class DamagedDatabaseTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavlen-damaged-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_prefix = pattern;
    m_database = m_prefix + "/registry.db";
  }
  void TearDown() override { std::filesystem::remove_all(m_prefix); }

  // Runs a child on the damaged prefix.
  ProcessResult Run(std::vector<std::string> argv) const { return RunProcess(argv, {"TAVLEN_PREFIX=" + m_prefix}); }

  std::string m_prefix;
  std::string m_database;
};

TEST_F(DamagedDatabaseTest, IsReportedByNameAndLeftAsItWas) {
  // A real registry with some keys, then damaged in three ways.
  ASSERT_EQ(Run({TAVLEN_REG_TOOL, "add", "HKCU\\Software\\Filled", "/v", "v", "/d", std::string(3000, 'x'), "/f"})
                .status,
            0);
  ASSERT_EQ(Run({REGISTRY_CHILD, "write", "Software\\Filled\\More", "v", "200"}).status, 0);
  // The children leave their writes in the write-ahead log: move them into
  // the database file, so that damaging the file damages them.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(m_database.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  const std::string healthy = ReadBytes(m_database);
  ASSERT_GT(healthy.size(), 8192u);
  std::string brokenPages = healthy;
  for (std::size_t i = 4096; i < brokenPages.size(); ++i) brokenPages[i] = static_cast<char>(0xA5 ^ (i & 0xFF));

  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"not a database", std::string(8192, 'J')},
      {"damaged pages", brokenPages},
      {"a database of something else", ""},  // filled below by SQLite
  };
  for (const Case& c : cases) {
    std::filesystem::remove(m_database + "-wal");
    std::filesystem::remove(m_database + "-shm");
    if (std::string(c.what) == "a database of something else") {
      std::filesystem::remove(m_database);
      ASSERT_EQ(sqlite3_open(m_database.c_str(), &db), SQLITE_OK);
      sqlite3_exec(db, "CREATE TABLE notes(text TEXT); INSERT INTO notes VALUES('mine');", nullptr, nullptr, nullptr);
      sqlite3_close(db);
    } else {
      WriteBytes(m_database, c.bytes);
    }
    const std::string before = ReadBytes(m_database);

    const ProcessResult codes = Run({REGISTRY_CHILD, "codes", "Software\\Filled\\More"});
    EXPECT_EQ(codes.out, "1009 1009\n") << c.what;
    EXPECT_NE(codes.err.find(m_database), std::string::npos) << c.what << ": " << codes.err;
    EXPECT_EQ(codes.err.find('\n'), codes.err.size() - 1) << "reported once: " << codes.err;

    const ProcessResult query = Run({TAVLEN_REG_TOOL, "query", "HKCU\\Software\\Filled", "/s"});
    EXPECT_NE(query.status, 0) << c.what;
    EXPECT_NE(query.err.find(m_database), std::string::npos) << c.what << ": " << query.err;
    const ProcessResult add = Run({TAVLEN_REG_TOOL, "add", "HKCU\\Software\\New", "/f"});
    EXPECT_NE(add.status, 0) << c.what;

    EXPECT_EQ(ReadBytes(m_database), before) << c.what << ": the file was changed";
  }
}

TEST_F(DamagedDatabaseTest, DatabaseThatCannotBeOpenedIsReportedAndLeftAlone) {
  // A folder where the file should be cannot be opened, even by root.
  std::filesystem::create_directory(m_database);
  const ProcessResult codes = Run({REGISTRY_CHILD, "codes", "Software\\Filled"});
  EXPECT_EQ(codes.out, "1011 1011\n");
  EXPECT_NE(codes.err.find(m_database), std::string::npos) << codes.err;
  EXPECT_TRUE(std::filesystem::is_directory(m_database));
}

}  // namespace
}  // namespace tavlen::test
