// The parts of the Linux WinINet layer that have no counterpart to compare
// with under wine: the connected state in a network namespace, certificate
// verification against a CA of our own, the proxy from the environment.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/win32.h"
#include "tests/servers/loopback_servers.h"
#include "tests/support/temp_folder.h"

namespace {

using tavlen::test::LoopbackServers;

// Reads the body of url with a fresh session; false when opening or a read fails.
bool Fetch(const std::string& url, std::string& body, DWORD* error = nullptr) {
  HINTERNET session = InternetOpenA("Tavlen_AutoUpdate_Agent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET request = InternetOpenUrlA(session, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
  if (error != nullptr) *error = request == nullptr ? GetLastError() : 0;
  bool ok = request != nullptr;
  body.clear();
  char chunk[4096];
  DWORD got = 0;
  while (ok && (ok = InternetReadFile(request, chunk, sizeof chunk, &got) != FALSE) && got > 0) body.append(chunk, got);
  if (request != nullptr) InternetCloseHandle(request);
  InternetCloseHandle(session);
  return ok;
}

TEST(InternetConnected, LoopbackOnlyNamespaceIsOffline) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) _exit(77);
    DWORD flags = 0xFFFFFFFFu;
    const BOOL connected = InternetGetConnectedState(&flags, 0);
    _exit(!connected && flags == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no user namespaces on this machine";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

class InternetLinux : public testing::Test {
 protected:
  void SetUp() override {
    if (!servers.Available()) GTEST_SKIP() << "run through ctest: the loopback servers are not running";
  }
  LoopbackServers servers;
};

TEST_F(InternetLinux, HttpsVerifiesCertificates) {
  ASSERT_TRUE(tavlen::test::WriteFileBytes(servers.WebFile("tls.txt"), "secret"));
  std::string body;
  DWORD error = 0;
  unsetenv("SSL_CERT_FILE");
  EXPECT_FALSE(Fetch(servers.NginxTls("/tls.txt"), body, &error)) << "a self-signed certificate is not trusted";
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INTERNET_INVALID_CA));

  setenv("SSL_CERT_FILE", servers.CaFileUnix().c_str(), 1);
  EXPECT_TRUE(Fetch(servers.NginxTls("/tls.txt"), body));
  EXPECT_EQ(body, "secret");
  // The certificate names 127.0.0.1 only: another name for it is refused.
  std::string other = servers.NginxTls("/tls.txt");
  other.replace(other.find("127.0.0.1"), 9, "localhost");
  EXPECT_FALSE(Fetch(other, body));
  unsetenv("SSL_CERT_FILE");
  DeleteFileA(servers.WebFile("tls.txt").c_str());
}

TEST_F(InternetLinux, ProxyFromTheEnvironment) {
  const std::string proxy = servers.Fault("");
  setenv("http_proxy", proxy.c_str(), 1);
  std::string body;
  EXPECT_TRUE(Fetch("http://proxy-test.invalid/x.zip", body));
  EXPECT_EQ(body, "proxied http://proxy-test.invalid/x.zip");

  setenv("no_proxy", "127.0.0.1", 1);
  EXPECT_TRUE(Fetch(servers.Fault("/echo"), body));
  EXPECT_EQ(body.rfind("GET /echo ", 0), 0u) << "no_proxy hosts are reached directly";
  unsetenv("no_proxy");
  unsetenv("http_proxy");
}

}  // namespace
