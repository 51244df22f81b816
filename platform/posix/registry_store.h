// Linux: the registry's keys and values as rows of the database. Keys are
// identified by their row id, which is never reused, so a handle to a
// deleted key stays recognisable. All functions return Win32 error codes and
// run inside RunRead/RunWrite.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "platform/posix/win_base.h"

namespace tavlen::posix::registry {

// Row ids of the predefined roots.
constexpr int64_t kClassesRoot = 1;
constexpr int64_t kCurrentUser = 2;
constexpr int64_t kLocalMachine = 3;
constexpr int64_t kUsers = 4;
constexpr int64_t kCurrentConfig = 5;
constexpr int64_t kLastRoot = 5;

// Longest key name component and value name Windows accepts.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;

// The name as compared: ASCII letters in upper case; both bytes of a
// double-byte character of code page 936 unchanged.
std::string FoldName(const std::string& name);

// ERROR_SUCCESS when the key still exists, ERROR_KEY_DELETED otherwise.
LONG CheckKey(sqlite3* db, int64_t key);

// Follows the backslash-separated path below base (empty components are
// skipped). With create, missing keys are created and created tells whether
// the last one was new.
LONG ResolvePath(sqlite3* db, int64_t base, const std::string& path, bool create, int64_t& key, bool* created);

// The index-th direct sub key in name order; ERROR_NO_MORE_ITEMS past the end.
LONG SubKeyAt(sqlite3* db, int64_t key, DWORD index, std::string& name);
// Deletes a key and its values; ERROR_ACCESS_DENIED when it has sub keys or is a root.
LONG DeleteKeyRow(sqlite3* db, int64_t key);

struct ValueRow {
  std::string name;
  DWORD type = 0;
  std::string data;
};

LONG GetValue(sqlite3* db, int64_t key, const std::string& name, ValueRow& value);
LONG SetValue(sqlite3* db, int64_t key, const std::string& name, DWORD type, const std::string& data);
LONG DeleteValueRow(sqlite3* db, int64_t key, const std::string& name);
// The index-th value in name order; ERROR_NO_MORE_ITEMS past the end.
LONG ValueAt(sqlite3* db, int64_t key, DWORD index, ValueRow& value);

}  // namespace tavlen::posix::registry
