// A temporary folder that is the current folder for one test, so the
// agent's "updater.log" lands there and goes with it.
#pragma once

#include <string>

#include "platform/win32.h"
#include "tests/support/temp_folder.h"

namespace tavlen::test {

class WorkFolder {
 public:
  WorkFolder() {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    m_previous = previous;
    SetCurrentDirectoryA(m_folder.Path().c_str());
  }
  ~WorkFolder() { SetCurrentDirectoryA(m_previous.c_str()); }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  const std::string& Path() const { return m_folder.Path(); }
  std::string operator/(const std::string& name) const { return m_folder / name; }
  // The log's contents so far (empty when there is none).
  std::string Log() const {
    std::string text;
    ReadFileBytes(m_folder / "updater.log", text);
    return text;
  }

 private:
  TempFolder m_folder;
  std::string m_previous;
};

}  // namespace tavlen::test
