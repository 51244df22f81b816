// A temporary folder for one test, named and handled as a Windows path
// through the same calls the agent uses, so a test reads the same on both
// targets. The folder and everything in it are deleted on destruction.
#pragma once

#include <string>

namespace tavlen::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, without a trailing backslash.
  const std::string& Path() const { return m_path; }
  // The folder, a backslash and the given relative name.
  std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

 private:
  std::string m_path;
};

// Writes bytes into a file (created or truncated); false when it cannot.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Reads a whole file; false when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& bytes);
// A whole file's bytes, or "<missing>" when it cannot be read.
std::string FileContents(const std::string& path);
// Deletes a folder tree, clearing read-only attributes on the way.
void RemoveTree(const std::string& path);
// True when a file or folder exists at the path.
bool Exists(const std::string& path);

}  // namespace tavlen::test

namespace tavlen::test {

// True when a Windows build runs under wine. Tests run as root there, and
// wine keeps the read-only attribute only as Unix permission bits, which root
// ignores: a test of read-only refusal skips itself under wine.
bool RunningUnderWine();

}  // namespace tavlen::test

#ifndef _WIN32
namespace tavlen::test {

// Linux: the Unix path that a Windows path of the prefix names, for tests
// that run programs outside the agent (shell commands, the agent binary).
std::string UnixPathOf(const std::string& windowsPath);

}  // namespace tavlen::test
#endif
