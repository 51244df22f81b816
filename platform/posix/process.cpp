// Linux: CreateProcessA over posix_spawn, with a pidfd as the process's
// signal, and the exit code of the child.
#include <errno.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/path_map.h"
#include "platform/posix/process_command_line.h"
#include "platform/posix/process_waitable.h"
#include "platform/posix/win_process.h"

extern char** environ;

namespace tavlen::posix {
namespace {

// The child's show command travels to GetStartupInfoA in the environment.
constexpr const char* kShowWindowVariable = "TAVLEN_SHOW_WINDOW";

// One child, shared by its process and thread handles. The last handle to
// go reaps the child, at once when it has ended, else on a small thread of
// its own, so no zombie is left behind.
class ChildState {
 public:
  ChildState(pid_t pid, int pidfd) : m_pid(pid), m_pidfd(pidfd) {}
  ~ChildState() {
    if (!Poll()) {
      const pid_t pid = m_pid;
      std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    }
    close(m_pidfd);
  }
  ChildState(const ChildState&) = delete;
  ChildState& operator=(const ChildState&) = delete;

  int Fd() const { return m_pidfd; }
  pid_t Pid() const { return m_pid; }

  // True when the child has ended (and is reaped).
  bool Poll() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ended) return true;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) != m_pid) return false;
    m_ended = true;
    if (m_terminated) {
      m_exitCode = m_terminateCode;
    } else if (WIFEXITED(status)) {
      m_exitCode = static_cast<DWORD>(WEXITSTATUS(status));
    } else {
      m_exitCode = 128u + static_cast<DWORD>(WTERMSIG(status));  // as a shell reports it
    }
    return true;
  }
  DWORD ExitCode() { return Poll() ? m_exitCode : STILL_ACTIVE; }

  bool Terminate(UINT exitCode) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ended) return false;
    m_terminated = true;
    m_terminateCode = exitCode;
    return syscall(SYS_pidfd_send_signal, m_pidfd, SIGKILL, nullptr, 0) == 0;
  }

 private:
  pid_t m_pid;
  int m_pidfd;
  std::mutex m_mutex;
  bool m_ended = false;
  bool m_terminated = false;
  DWORD m_terminateCode = 0;
  DWORD m_exitCode = STILL_ACTIVE;
};

// The process handle and the handle of its main thread: both are signalled
// when the child ends.
class ProcessObject : public Waitable {
 public:
  explicit ProcessObject(std::shared_ptr<ChildState> child) : m_child(std::move(child)) {}
  int SignalFd() const override { return m_child->Fd(); }
  ChildState& Child() { return *m_child; }

 private:
  std::shared_ptr<ChildState> m_child;
};

class ChildThreadObject : public ProcessObject {
 public:
  using ProcessObject::ProcessObject;
};

DWORD SpawnError(int error) {
  switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOEXEC: return ERROR_BAD_EXE_FORMAT;
    case ENOMEM:
    case EAGAIN: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
  }
}

// The child's environment: the given Windows block ("A=B\0C=D\0\0") or our
// own, with the show command set or removed.
std::vector<std::string> ChildEnvironment(const char* block, const STARTUPINFOA* startup) {
  std::vector<std::string> variables;
  if (block != nullptr) {
    for (const char* entry = block; *entry != '\0'; entry += std::strlen(entry) + 1) variables.emplace_back(entry);
  } else {
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) variables.emplace_back(*entry);
  }
  const std::string prefix = std::string(kShowWindowVariable) + "=";
  std::erase_if(variables, [&](const std::string& v) { return v.compare(0, prefix.size(), prefix) == 0; });
  if (startup != nullptr && (startup->dwFlags & STARTF_USESHOWWINDOW) != 0) {
    variables.push_back(prefix + std::to_string(startup->wShowWindow));
  }
  return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// The program of the command line: the first candidate that exists.
DWORD ResolveProgram(const char* applicationName, const std::string& commandLine, std::string& program) {
  if (applicationName != nullptr) return static_cast<DWORD>(FindProgram(applicationName, program));
  const std::vector<std::string> candidates = ProgramCandidates(commandLine);
  if (candidates.empty()) return ERROR_INVALID_PARAMETER;
  DWORD firstError = 0;
  for (const std::string& name : candidates) {
    const DWORD error = static_cast<DWORD>(FindProgram(name, program));
    if (error == 0) return 0;
    if (firstError == 0) firstError = error;
  }
  return firstError;
}

}  // namespace
}  // namespace tavlen::posix

using namespace tavlen::posix;

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, struct _SECURITY_ATTRIBUTES*,
                    struct _SECURITY_ATTRIBUTES*, BOOL, DWORD, LPVOID environment, LPCSTR currentDirectory,
                    LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation) {
  if (processInformation != nullptr) *processInformation = PROCESS_INFORMATION{};
  const std::string line = commandLine != nullptr ? commandLine : "";
  if (line.empty() && applicationName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string program;
  if (const DWORD error = ResolveProgram(applicationName, line, program); error != 0) {
    SetLastError(error);
    return FALSE;
  }
  std::vector<std::string> arguments = SplitCommandLine(line);
  if (arguments.empty()) arguments.push_back(applicationName != nullptr ? applicationName : program);
  std::vector<std::string> variables = ChildEnvironment(static_cast<const char*>(environment), startupInfo);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (currentDirectory != nullptr) {
    MappedPath mapped;
    const std::string& folder = mapped.unixPath;
    struct stat info{};
    if (MapWindowsPath(currentDirectory, mapped) != 0 || stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
      posix_spawn_file_actions_destroy(&actions);
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

  std::vector<char*> argv = Pointers(arguments);
  std::vector<char*> envp = Pointers(variables);
  pid_t pid = 0;
  int result = 0;
  result = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) {
    SetLastError(SpawnError(result));
    return FALSE;
  }
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (pidfd < 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  auto child = std::make_shared<ChildState>(pid, pidfd);
  if (processInformation != nullptr) {
    processInformation->hProcess = ToHandle(new ProcessObject(child));
    processInformation->hThread = ToHandle(new ChildThreadObject(child));
    processInformation->dwProcessId = static_cast<DWORD>(pid);
    processInformation->dwThreadId = static_cast<DWORD>(pid);
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

void GetStartupInfoA(LPSTARTUPINFOA startupInfo) {
  if (startupInfo == nullptr) return;
  *startupInfo = STARTUPINFOA{};
  startupInfo->cb = sizeof(STARTUPINFOA);
  if (const char* show = std::getenv(kShowWindowVariable); show != nullptr && *show != '\0') {
    startupInfo->dwFlags = STARTF_USESHOWWINDOW;
    startupInfo->wShowWindow = static_cast<WORD>(std::atoi(show));
  }
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
  auto* object = FromHandle<ProcessObject>(process);
  if (object == nullptr || exitCode == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *exitCode = object->Child().ExitCode();
  return TRUE;
}

BOOL TerminateProcess(HANDLE process, UINT exitCode) {
  auto* object = FromHandle<ProcessObject>(process);
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!object->Child().Terminate(exitCode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return TRUE;
}
