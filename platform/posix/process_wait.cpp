// Linux: events, threads and the wait functions over poll().
#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/posix/process_waitable.h"
#include "platform/posix/win_process.h"

namespace tavlen::posix {
namespace {

// A signalled flag mirrored in an eventfd: its counter is 1 exactly while set.
class SignalFlag {
 public:
  SignalFlag() : m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
  ~SignalFlag() {
    if (m_fd >= 0) close(m_fd);
  }
  SignalFlag(const SignalFlag&) = delete;
  SignalFlag& operator=(const SignalFlag&) = delete;

  bool Valid() const { return m_fd >= 0; }
  int Fd() const { return m_fd; }

  void Set() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_set) return;
    const uint64_t one = 1;
    if (write(m_fd, &one, sizeof one) == sizeof one) m_set = true;
  }
  // Clears the flag; true when it was set.
  bool Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_set) return false;
    uint64_t value = 0;
    if (read(m_fd, &value, sizeof value) == sizeof value) m_set = false;
    return true;
  }
  bool IsSet() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_set;
  }

 private:
  int m_fd;
  std::mutex m_mutex;
  bool m_set = false;
};

class EventObject : public Waitable {
 public:
  explicit EventObject(bool manualReset) : m_manualReset(manualReset) {}
  bool Valid() const { return m_flag.Valid(); }
  int SignalFd() const override { return m_flag.Fd(); }
  bool Acquire() override { return m_manualReset ? m_flag.IsSet() : m_flag.Reset(); }
  SignalFlag& Flag() { return m_flag; }

 private:
  SignalFlag m_flag;
  bool m_manualReset;
};

// Shared by the thread handle and the running thread, so either may go first.
struct ThreadState {
  SignalFlag done;
  DWORD exitCode = STILL_ACTIVE;
};

class ThreadObject : public Waitable {
 public:
  explicit ThreadObject(std::shared_ptr<ThreadState> state) : m_state(std::move(state)) {}
  int SignalFd() const override { return m_state->done.Fd(); }
  bool Acquire() override { return m_state->done.IsSet(); }
  DWORD ExitCode() const { return m_state->exitCode; }

 private:
  std::shared_ptr<ThreadState> m_state;
};

// Milliseconds left until the deadline, for poll(): -1 waits without limit.
int RemainingMs(DWORD milliseconds, const timespec& start) {
  if (milliseconds == INFINITE) return -1;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const long long elapsed = (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000LL;
  const long long left = static_cast<long long>(milliseconds) - elapsed;
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until one of the objects can be acquired: its index, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitAny(const std::vector<Waitable*>& objects, DWORD milliseconds) {
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  std::vector<pollfd> fds(objects.size());
  for (size_t i = 0; i < objects.size(); ++i) fds[i] = pollfd{objects[i]->SignalFd(), POLLIN, 0};
  while (true) {
    const int timeout = RemainingMs(milliseconds, start);
    const int ready = poll(fds.data(), fds.size(), timeout);
    if (ready < 0) {
      if (errno == EINTR) continue;
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    for (size_t i = 0; i < fds.size(); ++i) {
      if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0 && objects[i]->Acquire()) {
        return WAIT_OBJECT_0 + static_cast<DWORD>(i);
      }
    }
    if (ready == 0 && timeout == 0) return WAIT_TIMEOUT;
  }
}

}  // namespace
}  // namespace tavlen::posix

using tavlen::posix::EventObject;
using tavlen::posix::FromHandle;
using tavlen::posix::ThreadObject;
using tavlen::posix::ThreadState;
using tavlen::posix::ToHandle;
using tavlen::posix::Waitable;

HANDLE CreateEventA(struct _SECURITY_ATTRIBUTES*, BOOL manualReset, BOOL initialState, LPCSTR name) {
  if (name != nullptr && name[0] != '\0') {
    SetLastError(ERROR_NOT_SUPPORTED);  // named events are not used by the agent
    return nullptr;
  }
  auto event = std::make_unique<EventObject>(manualReset != FALSE);
  if (!event->Valid()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (initialState) event->Flag().Set();
  SetLastError(ERROR_SUCCESS);
  return ToHandle(event.release());
}

BOOL SetEvent(HANDLE event) {
  auto* object = FromHandle<EventObject>(event);
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  object->Flag().Set();
  return TRUE;
}

BOOL ResetEvent(HANDLE event) {
  auto* object = FromHandle<EventObject>(event);
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  object->Flag().Reset();
  return TRUE;
}

HANDLE CreateThread(struct _SECURITY_ATTRIBUTES*, size_t, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD creationFlags, LPDWORD threadId) {
  if (start == nullptr || creationFlags != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto state = std::make_shared<ThreadState>();
  if (!state->done.Valid()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto handle = std::make_unique<ThreadObject>(state);
  try {
    std::thread([state, start, parameter] {
      state->exitCode = start(parameter);
      state->done.Set();
    }).detach();
  } catch (const std::system_error&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  static std::atomic<DWORD> s_nextId{1};
  if (threadId != nullptr) *threadId = s_nextId++;
  return ToHandle(handle.release());
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
  auto* object = FromHandle<ThreadObject>(thread);
  if (object == nullptr || exitCode == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *exitCode = object->Acquire() ? object->ExitCode() : STILL_ACTIVE;
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<Waitable*> objects;
  for (DWORD i = 0; i < count; ++i) {
    auto* object = FromHandle<Waitable>(handles[i]);
    if (object == nullptr) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    objects.push_back(object);
  }
  if (!waitAll) return tavlen::posix::WaitAny(objects, milliseconds);
  // All of them: one after the other within the same time limit. An
  // auto-reset event is taken as soon as it is seen; the agent waits for
  // all only on processes and threads.
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (Waitable* object : objects) {
    const int left = tavlen::posix::RemainingMs(milliseconds, start);
    const DWORD result = tavlen::posix::WaitAny({object}, left < 0 ? INFINITE : static_cast<DWORD>(left));
    if (result != WAIT_OBJECT_0) return result;
  }
  return WAIT_OBJECT_0;
}
