#include "tests/actions/action_test_support.h"

#include "platform/win32.h"
#include "tests/support/temp_folder.h"
#include "update/install_context.h"
#include "update/path_helpers.h"

namespace tavlen::test {

FakeModulePath::FakeModulePath(const std::string& path) {
  InstallContext& context = AppContext();
  m_path = context.m_szModulePath;
  m_dir = context.m_szModuleDir;
  m_name = context.m_szModuleName;
  context.m_szModulePath = path;
  context.m_szModuleName = SplitFileName(path, &context.m_szModuleDir);
}

FakeModulePath::~FakeModulePath() {
  InstallContext& context = AppContext();
  context.m_szModulePath = m_path;
  context.m_szModuleDir = m_dir;
  context.m_szModuleName = m_name;
}

std::string ChildProgram(bool withExtension) {
  std::string folder;
  SplitFileName(GetModulePath(), &folder);
  std::string path = folder + "\\tavlen_test_child";
#ifdef _WIN32
  if (withExtension) path += ".exe";
#else
  (void)withExtension;
#endif
  return path;
}

bool WaitForFile(const std::string& path) {
  for (int i = 0; i < 3000; ++i) {
    if (Exists(path)) return true;
    Sleep(10);
  }
  return Exists(path);
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::string bytes;
  std::vector<std::string> lines;
  if (!ReadFileBytes(path, bytes)) return lines;
  std::string line;
  for (char c : bytes) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace tavlen::test
