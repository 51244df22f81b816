#include "platform/posix/registry_store.h"

#include "platform/posix/registry_database.h"

namespace tavlen::posix::registry {

namespace {

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// The next backslash at or after start, stepping over double-byte
// characters (their trail byte may be 0x5C); the size when there is none.
std::size_t NextSeparator(const std::string& path, std::size_t start) {
  for (std::size_t i = start; i < path.size(); ++i) {
    if (path[i] == '\\') return i;
    if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ++i;
  }
  return path.size();
}

LONG FindChild(sqlite3* db, int64_t parent, const std::string& name, int64_t& key) {
  Statement find(db, "SELECT id FROM reg_keys WHERE parent = ?1 AND fold = ?2");
  find.Bind(1, parent).BindBytes(2, FoldName(name));
  if (find.Step()) {
    key = find.Int(0);
    return ERROR_SUCCESS;
  }
  return find.Error() != ERROR_SUCCESS ? find.Error() : ERROR_FILE_NOT_FOUND;
}

LONG CreateChild(sqlite3* db, int64_t parent, const std::string& name, int64_t& key) {
  Statement insert(db, "INSERT INTO reg_keys(parent, name, fold) VALUES (?1, ?2, ?3)");
  insert.Bind(1, parent).BindBytes(2, name).BindBytes(3, FoldName(name));
  if (LONG error = insert.Run()) return error;
  key = sqlite3_last_insert_rowid(db);
  return ERROR_SUCCESS;
}

}  // namespace

std::string FoldName(const std::string& name) {
  std::string folded = name;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(folded[i]);
    if (IsLeadByte(byte) && i + 1 < folded.size()) {
      ++i;  // the trail byte may look like an ASCII letter: keep it
    } else if (byte >= 'a' && byte <= 'z') {
      folded[i] = static_cast<char>(byte - 'a' + 'A');
    }
  }
  return folded;
}

LONG CheckKey(sqlite3* db, int64_t key) {
  if (key >= 1 && key <= kLastRoot) return ERROR_SUCCESS;
  Statement find(db, "SELECT 1 FROM reg_keys WHERE id = ?1");
  find.Bind(1, key);
  if (find.Step()) return ERROR_SUCCESS;
  return find.Error() != ERROR_SUCCESS ? find.Error() : ERROR_KEY_DELETED;
}

LONG ResolvePath(sqlite3* db, int64_t base, const std::string& path, bool create, int64_t& key, bool* created) {
  if (LONG error = CheckKey(db, base)) return error;
  if (created != nullptr) *created = false;
  int64_t current = base;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = NextSeparator(path, start);
    const std::string name = path.substr(start, end - start);
    start = end + 1;
    if (name.empty()) continue;
    if (name.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    int64_t next = 0;
    LONG error = FindChild(db, current, name, next);
    if (error == ERROR_FILE_NOT_FOUND && create) {
      error = CreateChild(db, current, name, next);
      if (error == ERROR_SUCCESS && created != nullptr) *created = true;
    } else if (error == ERROR_SUCCESS && created != nullptr) {
      *created = false;
    }
    if (error != ERROR_SUCCESS) return error;
    current = next;
  }
  key = current;
  return ERROR_SUCCESS;
}

LONG SubKeyAt(sqlite3* db, int64_t key, DWORD index, std::string& name) {
  if (LONG error = CheckKey(db, key)) return error;
  Statement find(db, "SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2");
  find.Bind(1, key).Bind(2, index);
  if (find.Step()) {
    name = find.Bytes(0);
    return ERROR_SUCCESS;
  }
  return find.Error() != ERROR_SUCCESS ? find.Error() : ERROR_NO_MORE_ITEMS;
}

LONG DeleteKeyRow(sqlite3* db, int64_t key) {
  if (key <= kLastRoot) return ERROR_ACCESS_DENIED;
  if (LONG error = CheckKey(db, key)) return error;
  Statement children(db, "SELECT 1 FROM reg_keys WHERE parent = ?1 LIMIT 1");
  children.Bind(1, key);
  if (children.Step()) return ERROR_ACCESS_DENIED;
  if (children.Error() != ERROR_SUCCESS) return children.Error();
  Statement values(db, "DELETE FROM reg_values WHERE key = ?1");
  if (LONG error = values.Bind(1, key).Run()) return error;
  Statement row(db, "DELETE FROM reg_keys WHERE id = ?1");
  return row.Bind(1, key).Run();
}

LONG GetValue(sqlite3* db, int64_t key, const std::string& name, ValueRow& value) {
  if (LONG error = CheckKey(db, key)) return error;
  Statement find(db, "SELECT name, type, data FROM reg_values WHERE key = ?1 AND fold = ?2");
  find.Bind(1, key).BindBytes(2, FoldName(name));
  if (find.Step()) {
    value.name = find.Bytes(0);
    value.type = static_cast<DWORD>(find.Int(1));
    value.data = find.Bytes(2);
    return ERROR_SUCCESS;
  }
  return find.Error() != ERROR_SUCCESS ? find.Error() : ERROR_FILE_NOT_FOUND;
}

LONG SetValue(sqlite3* db, int64_t key, const std::string& name, DWORD type, const std::string& data) {
  if (LONG error = CheckKey(db, key)) return error;
  // An existing value keeps the spelling of its name.
  Statement update(db, "UPDATE reg_values SET type = ?3, data = ?4 WHERE key = ?1 AND fold = ?2");
  update.Bind(1, key).BindBytes(2, FoldName(name)).Bind(3, type).BindBytes(4, data);
  if (LONG error = update.Run()) return error;
  if (sqlite3_changes(db) > 0) return ERROR_SUCCESS;
  Statement insert(db, "INSERT INTO reg_values(key, name, fold, type, data) VALUES (?1, ?2, ?3, ?4, ?5)");
  insert.Bind(1, key).BindBytes(2, name).BindBytes(3, FoldName(name)).Bind(4, type).BindBytes(5, data);
  return insert.Run();
}

LONG DeleteValueRow(sqlite3* db, int64_t key, const std::string& name) {
  if (LONG error = CheckKey(db, key)) return error;
  Statement remove(db, "DELETE FROM reg_values WHERE key = ?1 AND fold = ?2");
  if (LONG error = remove.Bind(1, key).BindBytes(2, FoldName(name)).Run()) return error;
  return sqlite3_changes(db) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG ValueAt(sqlite3* db, int64_t key, DWORD index, ValueRow& value) {
  if (LONG error = CheckKey(db, key)) return error;
  Statement find(db, "SELECT name, type, data FROM reg_values WHERE key = ?1 ORDER BY fold LIMIT 1 OFFSET ?2");
  find.Bind(1, key).Bind(2, index);
  if (find.Step()) {
    value.name = find.Bytes(0);
    value.type = static_cast<DWORD>(find.Int(1));
    value.data = find.Bytes(2);
    return ERROR_SUCCESS;
  }
  return find.Error() != ERROR_SUCCESS ? find.Error() : ERROR_NO_MORE_ITEMS;
}

}  // namespace tavlen::posix::registry
