#include "tests/registry/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace tavlen::test {

namespace {

[[noreturn]] void Exec(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment) {
  for (const std::string& entry : extraEnvironment) {
    const std::size_t equals = entry.find('=');
    setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
  }
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  execv(args[0], args.data());
  _exit(127);
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t count = 0;
  while ((count = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(count));
  return text;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment) {
  ProcessResult result;
  char outName[] = "/tmp/tavlen-child-out-XXXXXX";
  char errName[] = "/tmp/tavlen-child-err-XXXXXX";
  const int out = mkstemp(outName);
  const int err = mkstemp(errName);
  if (out < 0 || err < 0) return result;
  unlink(outName);
  unlink(errName);
  const pid_t pid = fork();
  if (pid == 0) {
    const int input = open("/dev/null", O_RDONLY);
    dup2(input, 0);
    dup2(out, 1);
    dup2(err, 2);
    Exec(argv, extraEnvironment);
  }
  int status = 0;
  if (pid > 0) waitpid(pid, &status, 0);
  lseek(out, 0, SEEK_SET);
  lseek(err, 0, SEEK_SET);
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  close(out);
  close(err);
  result.status = pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

RunningProcess::RunningProcess(const std::vector<std::string>& argv) {
  int fds[2];
  if (pipe(fds) != 0) return;
  m_pid = fork();
  if (m_pid == 0) {
    close(fds[0]);
    dup2(fds[1], 1);
    Exec(argv, {});
  }
  close(fds[1]);
  m_out = fds[0];
}

RunningProcess::~RunningProcess() {
  if (m_pid > 0) {
    kill(m_pid, SIGKILL);
    Wait();
  }
  if (m_out >= 0) close(m_out);
}

bool RunningProcess::ReadLine(std::string& line) {
  while (true) {
    const std::size_t end = m_buffer.find('\n');
    if (end != std::string::npos) {
      line = m_buffer.substr(0, end);
      m_buffer.erase(0, end + 1);
      return true;
    }
    char chunk[512];
    const ssize_t count = m_out >= 0 ? read(m_out, chunk, sizeof chunk) : -1;
    if (count <= 0) return false;
    m_buffer.append(chunk, static_cast<std::size_t>(count));
  }
}

void RunningProcess::Kill(int signal) {
  if (m_pid > 0) kill(m_pid, signal);
}

int RunningProcess::Wait() {
  int status = 0;
  if (m_pid > 0) waitpid(m_pid, &status, 0);
  m_pid = -1;
  return status;
}

}  // namespace tavlen::test
