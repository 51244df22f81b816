#include "tests/servers/loopback_servers.h"

#include <cstdlib>

#include "platform/win32.h"
#include "tests/support/temp_folder.h"
#include "update/string_helpers.h"

namespace tavlen::test {

namespace {

// The Unix path of the state folder as a Windows path: drive Z: is the root
// of the Unix file system on both targets.
std::string WindowsPath(std::string unixPath) {
  for (auto& c : unixPath) {
    if (c == '/') c = '\\';
  }
  return "Z:" + unixPath;
}

std::string ReadPort(const std::string& file) {
  std::string text;
  if (!ReadFileBytes(file, text)) return {};
  return Trim(text);
}

}  // namespace

LoopbackServers::LoopbackServers() {
  const char* state = std::getenv("TAVLEN_TEST_SERVERS");
  if (state == nullptr || *state == '\0') return;
  const std::string folder = WindowsPath(state);
  m_faultPort = ReadPort(folder + "\\fault.port");
  m_nginxPort = ReadPort(folder + "\\nginx.port");
  m_sslPort = ReadPort(folder + "\\ssl.port");
  m_webRoot = folder + "\\www";
  m_caFile = std::string(state) + "/ca.pem";
}

std::string LoopbackServers::Refused(const std::string& path) {
  // Port 9 (discard) is closed on these machines; nothing else is touched.
  return "http://127.0.0.1:9" + path;
}

std::string PatternBytes(std::size_t n) {
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

}  // namespace tavlen::test
