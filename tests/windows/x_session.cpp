#include "tests/windows/x_session.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace tavlen::test {

namespace {

// Runs argv with the given descriptors as stdin and stdout (-1: inherit);
// every other descriptor named in keep stays open in the child.
pid_t Spawn(const std::vector<std::string>& args, int in, int out, int keep) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (in >= 0) dup2(in, STDIN_FILENO);
  if (out >= 0) dup2(out, STDOUT_FILENO);
  for (int fd = 3; fd < 256; ++fd) {
    if (fd != keep) close(fd);
  }
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

}  // namespace

XvfbServer::XvfbServer() {
  int ready[2];
  if (pipe(ready) != 0) return;
  // -displayfd makes Xvfb choose a free display and write its number once it
  // accepts connections.
  m_pid = Spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-nolisten", "tcp", "-noreset", "-screen", "0", "320x240x24"},
                -1, -1, ready[1]);
  close(ready[1]);
  std::string number;
  char c = 0;
  while (read(ready[0], &c, 1) == 1 && c != '\n') number += c;
  close(ready[0]);
  if (m_pid > 0 && !number.empty()) {
    m_display = ":" + number;
    setenv("DISPLAY", m_display.c_str(), 1);
  }
}

XvfbServer::~XvfbServer() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGTERM);
  waitpid(m_pid, nullptr, 0);
}

XvfbServer& ProgramXvfb() {
  static XvfbServer server;
  return server;
}

XTestClient::XTestClient(const std::string& className, const std::string& title, const std::string& mode,
                         const std::vector<std::string>& options) {
  int in[2];
  int out[2];
  if (pipe(in) != 0) return;
  if (pipe(out) != 0) {
    close(in[0]);
    close(in[1]);
    return;
  }
  std::vector<std::string> args{TAVLEN_X_TEST_CLIENT, className, title, mode};
  args.insert(args.end(), options.begin(), options.end());
  m_pid = Spawn(args, in[0], out[1], -1);
  close(in[0]);
  close(out[1]);
  m_stdin = in[1];
  m_stdout = out[0];
  const std::string line = ReadLine();
  if (line.rfind("ready ", 0) == 0) m_window = std::strtoul(line.c_str() + 6, nullptr, 10);
}

XTestClient::~XTestClient() { Finish(); }

std::string XTestClient::ReadLine() {
  while (true) {
    const auto end = m_pending.find('\n');
    if (end != std::string::npos) {
      std::string line = m_pending.substr(0, end);
      m_pending.erase(0, end + 1);
      return line;
    }
    char buffer[256];
    const ssize_t got = m_stdout >= 0 ? read(m_stdout, buffer, sizeof buffer) : -1;
    if (got <= 0) {
      std::string rest;
      rest.swap(m_pending);
      return rest;
    }
    m_pending.append(buffer, static_cast<size_t>(got));
  }
}

std::vector<std::string> XTestClient::Finish() {
  std::vector<std::string> lines;
  if (m_pid <= 0) return lines;
  close(m_stdin);
  m_stdin = -1;
  while (true) {
    std::string line = ReadLine();
    if (line.empty() && m_pending.empty()) break;
    lines.push_back(line);
  }
  close(m_stdout);
  m_stdout = -1;
  waitpid(m_pid, nullptr, 0);
  m_pid = -1;
  return lines;
}

int XTestClient::Count(const std::vector<std::string>& lines, const std::string& text) {
  int count = 0;
  for (const auto& line : lines) count += line == text ? 1 : 0;
  return count;
}

}  // namespace tavlen::test
