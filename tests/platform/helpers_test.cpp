// The shared path and string helpers of the update run, over the file
// calls of the base layer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/support/temp_folder.h"
#include "update/path_helpers.h"
#include "update/string_helpers.h"

namespace {

using tavlen::test::Exists;
using tavlen::test::TempFolder;
using tavlen::test::WriteFileBytes;

TEST(SplitString, Items) {
  using Items = std::vector<std::string>;
  struct Case {
    std::string text, separators, trim;
    Items expected;
  };
  const Case cases[] = {
      {" a, b ,c ", ",", " ", {"a", "b", "c"}},
      {"", ",", " ", {""}},
      {"a,,b", ",", " ", {"a", "", "b"}},
      {"a,", ",", " ", {"a", ""}},
      // Separators that are also trim characters give no empty items.
      {"a   b", " ", " ", {"a", "b"}},
      {"x;y,z", ",;", "", {"x", "y", "z"}},
      // The trail byte of 昞 (95 5C) is not a separator.
      {"x昞\\y", "\\", "", {"x昞", "y"}},
      // ...nor a trim character at either end of an item.
      {"\\a昞\\,昞", ",", "\\", {"a昞", "昞"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Items items = {"stale"};
    EXPECT_EQ(SplitString(items, c.text, c.separators, c.trim), static_cast<int>(c.expected.size()));
    EXPECT_EQ(items, c.expected);
  }
}

TEST(SplitFileName, FolderAndName) {
  struct Case {
    std::string path, folder, name;
  };
  const Case cases[] = {
      {"C:\\dir\\file.txt", "C:\\dir", "file.txt"},
      {"file.txt", "", "file.txt"},
      {"\\file.txt", "", "\\file.txt"},
      {"C:\\dir\\", "C:\\dir", ""},
      {"C:\\昞\\a昞", "C:\\昞", "a昞"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string folder = "stale";
    EXPECT_EQ(SplitFileName(c.path, &folder), c.name);
    EXPECT_EQ(folder, c.folder);
  }
}

TEST(PathHelpers, CreateDirectoryPathMakesTheChain) {
  TempFolder folder;
  const std::string deep = folder / "a\\b\\c";
  EXPECT_TRUE(CreateDirectoryPath(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(CreateDirectoryPath(deep));  // already there
  ASSERT_TRUE(WriteFileBytes(folder / "file", "x"));
  EXPECT_FALSE(CreateDirectoryPath(folder / "file\\sub"));
  EXPECT_FALSE(CreateDirectoryPath(folder.Path() + "\\" + std::string(MAX_PATH, 'd')));
}

TEST(PathHelpers, PathAndDirectoryExist) {
  TempFolder folder;
  ASSERT_TRUE(WriteFileBytes(folder / "file.txt", "x"));
  ASSERT_TRUE(CreateDirectoryA((folder / "dir").c_str(), nullptr));
  struct Case {
    std::string path;
    bool exists, directory;
  };
  const Case cases[] = {
      {folder / "file.txt", true, false},
      {folder / "FILE.TXT", true, false},
      {folder / "dir", true, true},
      {folder / "dir\\", false, false},
      {folder / "*.txt", true, false},
      {folder / "*.exe", false, false},
      {folder / "missing", false, false},
      {"C:\\", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(PathExists(c.path), c.exists);
    EXPECT_EQ(DirectoryExists(c.path), c.directory);
  }
}

TEST(DeleteDirectoryTree, EmptyAndNestedFoldersWithReadOnlyFiles) {
  TempFolder folder;
  const std::string empty = folder / "empty";
  ASSERT_TRUE(CreateDirectoryA(empty.c_str(), nullptr));
  EXPECT_TRUE(DeleteDirectoryTree(empty));
  EXPECT_FALSE(Exists(empty));

  const std::string tree = folder / "tree";
  ASSERT_TRUE(CreateDirectoryPath(tree + "\\a\\b"));
  ASSERT_TRUE(WriteFileBytes(tree + "\\top.txt", "x"));
  ASSERT_TRUE(WriteFileBytes(tree + "\\a\\b\\deep.txt", "x"));
  ASSERT_TRUE(WriteFileBytes(tree + "\\a\\ro.txt", "x"));
  ASSERT_TRUE(SetFileAttributesA((tree + "\\a\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(DeleteDirectoryTree(tree));
  EXPECT_FALSE(Exists(tree));
}

TEST(DeleteDirectoryTree, LockedFiles) {
  TempFolder folder;
  const std::string tree = folder / "tree";
  ASSERT_TRUE(CreateDirectoryPath(tree + "\\sub"));
  ASSERT_TRUE(WriteFileBytes(tree + "\\sub\\locked.txt", "x"));
  ASSERT_TRUE(WriteFileBytes(tree + "\\other.txt", "x"));
  HANDLE lock = CreateFileA((tree + "\\sub\\locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  // A locked file inside a sub-folder does not make the deletion fail; the
  // sub-folder with it and the folder itself stay.
  EXPECT_TRUE(DeleteDirectoryTree(tree));
  EXPECT_TRUE(Exists(tree + "\\sub\\locked.txt"));
  EXPECT_FALSE(Exists(tree + "\\other.txt"));
  CloseHandle(lock);

  // A locked file directly inside the folder stops it.
  ASSERT_TRUE(WriteFileBytes(tree + "\\direct.txt", "x"));
  lock = CreateFileA((tree + "\\direct.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteDirectoryTree(tree));
  EXPECT_TRUE(Exists(tree + "\\direct.txt"));
  CloseHandle(lock);
  EXPECT_TRUE(DeleteDirectoryTree(tree));
  EXPECT_FALSE(Exists(tree));
}

TEST(DeleteDirectoryTree, NotAFolder) {
  TempFolder folder;
  EXPECT_FALSE(DeleteDirectoryTree(folder / "missing"));
  ASSERT_TRUE(WriteFileBytes(folder / "file", "x"));
  EXPECT_FALSE(DeleteDirectoryTree(folder / "file"));
  EXPECT_TRUE(Exists(folder / "file"));
}

}  // namespace
