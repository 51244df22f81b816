// Linux: running a helper program or tavlen-reg as a child process of a
// test. The child inherits the environment, $TAVLEN_PREFIX included.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tavlen::test {

struct ProcessResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs the program to its end with the arguments; stdin is empty.
// extraEnvironment holds "NAME=value" entries set for the child only.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment = {});

// A child whose standard output is read line by line while it runs.
class RunningProcess {
 public:
  explicit RunningProcess(const std::vector<std::string>& argv);
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;

  // The next line of output without its LF; false at the end of the output.
  bool ReadLine(std::string& line);
  void Kill(int signal);
  // Waits for the end; the raw wait status.
  int Wait();

 private:
  pid_t m_pid = -1;
  int m_out = -1;
  std::string m_buffer;
};

}  // namespace tavlen::test
