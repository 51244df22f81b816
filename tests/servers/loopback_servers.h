// The loopback servers that CTest starts for a test program (see servers.sh
// and servers.cmake): their addresses and nginx's web root, read from the
// state folder named by $TAVLEN_TEST_SERVERS.
#pragma once

#include <string>

namespace tavlen::test {

class LoopbackServers {
 public:
  // Reads the state folder; Available() is false when the servers are not
  // running (the program was started outside CTest).
  LoopbackServers();

  bool Available() const { return !m_faultPort.empty() && !m_nginxPort.empty(); }
  // http://127.0.0.1:port + path, on the fault-injecting server.
  std::string Fault(const std::string& path) const { return "http://127.0.0.1:" + m_faultPort + path; }
  // http://127.0.0.1:port + path, on nginx; https on its TLS port.
  std::string Nginx(const std::string& path) const { return "http://127.0.0.1:" + m_nginxPort + path; }
  std::string NginxTls(const std::string& path) const { return "https://127.0.0.1:" + m_sslPort + path; }
  // nginx's web root as a Windows path (Z:\...), and a file below it.
  const std::string& WebRoot() const { return m_webRoot; }
  std::string WebFile(const std::string& name) const { return m_webRoot + "\\" + name; }
  // The CA certificate of the TLS port, as a Unix path.
  const std::string& CaFileUnix() const { return m_caFile; }
  // A loopback URL on which nothing listens.
  static std::string Refused(const std::string& path);

 private:
  std::string m_faultPort;
  std::string m_nginxPort;
  std::string m_sslPort;
  std::string m_webRoot;
  std::string m_caFile;
};

// The bytes the fault server sends for a body of n bytes: i % 251.
std::string PatternBytes(std::size_t n);

}  // namespace tavlen::test
