// Linux: the agent's own connection to the X display, used to find other
// clients' top-level windows and to deliver messages to them.
#include "platform/posix/window_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <ctime>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/posix/window_text.h"

namespace tavlen::posix::x11 {

namespace {

// One connection for the whole process, used under g_lock only: X errors
// are recorded per connection, and Xlib is not thread-safe by itself.
std::mutex g_lock;
Display* g_display = nullptr;
bool g_opened = false;
bool g_error = false;
XErrorHandler g_previousHandler = nullptr;

// Errors on our connection (a window that vanished) are expected and only
// recorded; errors of other connections in the process (the GUI toolkit's)
// go to the handler that was there before.
int OnXError(Display* display, XErrorEvent* event) {
  if (display == g_display) {
    g_error = true;
    return 0;
  }
  return g_previousHandler != nullptr ? g_previousHandler(display, event) : 0;
}

Display* Connection() {
  if (!g_opened) {
    g_opened = true;
    const char* name = std::getenv("DISPLAY");
    if (name != nullptr && *name != '\0') {
      g_display = XOpenDisplay(name);
      if (g_display != nullptr) g_previousHandler = XSetErrorHandler(OnXError);
    }
  }
  return g_display;
}

// Starts recording errors; Synced() reports whether any request failed.
void ClearErrors(Display* display) {
  XSync(display, False);
  g_error = false;
}
bool Synced(Display* display) {
  XSync(display, False);
  return !g_error;
}

Atom Intern(Display* display, const char* name) { return XInternAtom(display, name, False); }

bool ReadClass(Display* display, Window window, std::string& className) {
  XClassHint hint{nullptr, nullptr};
  if (XGetClassHint(display, window, &hint) == 0) return false;
  className = hint.res_class != nullptr ? WindowTextFromLatin1(hint.res_class) : std::string();
  if (hint.res_name != nullptr) XFree(hint.res_name);
  if (hint.res_class != nullptr) XFree(hint.res_class);
  return true;
}

std::string ReadName(Display* display, Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, Intern(display, "_NET_WM_NAME"), 0, 4096, False,
                         Intern(display, "UTF8_STRING"), &type, &format, &count, &after, &data) == Success &&
      data != nullptr) {
    std::string name(reinterpret_cast<char*>(data), count);
    XFree(data);
    if (format == 8) return name;
  }
  XTextProperty property{};
  if (XGetWMName(display, window, &property) == 0 || property.value == nullptr) return std::string();
  std::string name;
  if (property.encoding == XA_STRING) {
    name = WindowTextFromLatin1(std::string(reinterpret_cast<char*>(property.value), property.nitems));
  } else {
    char** list = nullptr;
    int items = 0;
    if (Xutf8TextPropertyToTextList(display, &property, &list, &items) >= Success && list != nullptr) {
      if (items > 0 && list[0] != nullptr) name = list[0];
      XFreeStringList(list);
    }
  }
  XFree(property.value);
  return name;
}

// The client window at or below a top-level window: the first one with a
// class hint, looking through window-manager frames a few levels deep.
Window ClientWindow(Display* display, Window window, int depth) {
  std::string ignored;
  if (ReadClass(display, window, ignored)) return window;
  if (depth == 0) return None;
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return None;
  Window found = None;
  for (unsigned int i = 0; i < count && found == None; ++i) found = ClientWindow(display, children[i], depth - 1);
  if (children != nullptr) XFree(children);
  return found;
}

bool TakesProtocol(Display* display, Window window, Atom protocol) {
  Atom* protocols = nullptr;
  int count = 0;
  if (XGetWMProtocols(display, window, &protocols, &count) == 0) return false;
  bool found = false;
  for (int i = 0; i < count; ++i) found = found || protocols[i] == protocol;
  if (protocols != nullptr) XFree(protocols);
  return found;
}

void SendClientMessage(Display* display, Window window, Atom type, long l0, long l1, long l2) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  XSendEvent(display, window, False, NoEventMask, &event);
}

// <chrono> cannot be used: its literals do not exist in code page 936.
long long NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Waits until the window answers the ping with this stamp or is destroyed.
void AwaitHandled(Display* display, Window window, long stamp, bool pinged) {
  // A window that answers pings is waited for as long as a hung program
  // would be; one that does not gets a short grace period to disappear.
  const long long deadline = NowMs() + (pinged ? 5000 : 500);
  const Atom protocols = Intern(display, "WM_PROTOCOLS");
  const Atom ping = Intern(display, "_NET_WM_PING");
  while (true) {
    while (XPending(display) > 0) {
      XEvent event{};
      XNextEvent(display, &event);
      if (event.type == DestroyNotify && event.xdestroywindow.window == window) return;
      if (event.type == ClientMessage && event.xclient.message_type == protocols &&
          static_cast<Atom>(event.xclient.data.l[0]) == ping && event.xclient.data.l[1] == stamp &&
          static_cast<Window>(event.xclient.data.l[2]) == window) {
        return;
      }
    }
    const long long left = deadline - NowMs();
    if (left <= 0) return;
    pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
    poll(&descriptor, 1, static_cast<int>(left));
  }
}

}  // namespace

unsigned long FindTopLevel(const std::string* classUtf8, const std::string* nameUtf8) {
  std::lock_guard<std::mutex> guard(g_lock);
  Display* display = Connection();
  if (display == nullptr) return 0;
  ClearErrors(display);
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return 0;
  Window found = None;
  // Children come bottom to top; Windows searches from the top of the Z order.
  for (unsigned int i = count; i-- > 0 && found == None;) {
    const Window client = ClientWindow(display, children[i], 2);
    if (client == None) continue;
    std::string className;
    if (classUtf8 != nullptr && (!ReadClass(display, client, className) || !WindowTextEqual(className, *classUtf8))) {
      continue;
    }
    if (nameUtf8 != nullptr && !WindowTextEqual(ReadName(display, client), *nameUtf8)) continue;
    found = client;
  }
  if (children != nullptr) XFree(children);
  // A window destroyed during the walk makes its requests fail; whatever was
  // found still stands, IsWindow tells the caller later.
  Synced(display);
  return found;
}

bool WindowExists(unsigned long window) {
  if (window == 0) return false;
  std::lock_guard<std::mutex> guard(g_lock);
  Display* display = Connection();
  if (display == nullptr) return false;
  ClearErrors(display);
  XWindowAttributes attributes{};
  const Status status = XGetWindowAttributes(display, window, &attributes);
  return Synced(display) && status != 0;
}

bool Deliver(unsigned long window, UINT message, WPARAM wParam, LPARAM lParam, bool wait) {
  std::lock_guard<std::mutex> guard(g_lock);
  Display* display = Connection();
  if (display == nullptr || window == 0) return false;
  const Atom protocols = Intern(display, "WM_PROTOCOLS");
  const Atom ping = Intern(display, "_NET_WM_PING");
  const Window root = DefaultRootWindow(display);
  while (XPending(display) > 0) {  // drop what earlier waits left behind
    XEvent stale{};
    XNextEvent(display, &stale);
  }
  ClearErrors(display);
  bool pinged = false;
  if (wait) {
    // Destruction of the window, and the ping's answer, which a client sends
    // to the root window, must reach us.
    XSelectInput(display, window, StructureNotifyMask);
    XSelectInput(display, root, SubstructureNotifyMask);
    pinged = TakesProtocol(display, window, ping);
  }
  if (!Synced(display)) return false;

  bool sent = true;
  if (message == 0x0010u /* WM_CLOSE */) {
    const Atom deleteWindow = Intern(display, "WM_DELETE_WINDOW");
    sent = TakesProtocol(display, window, deleteWindow);
    if (sent) SendClientMessage(display, window, protocols, static_cast<long>(deleteWindow), CurrentTime, 0);
  } else {
    SendClientMessage(display, window, Intern(display, "_TAVLEN_WINDOW_MESSAGE"), static_cast<long>(message),
                      static_cast<long>(wParam), static_cast<long>(lParam));
  }
  static long s_stamp = 0;
  const long stamp = ++s_stamp;
  if (sent && pinged) SendClientMessage(display, window, protocols, static_cast<long>(ping), stamp, static_cast<long>(window));
  bool ok = Synced(display) && sent;
  if (wait) {
    if (ok) AwaitHandled(display, window, stamp, pinged);
    XSelectInput(display, root, NoEventMask);
    XSelectInput(display, window, NoEventMask);  // fails quietly when it is gone
    Synced(display);
  }
  return ok;
}

}  // namespace tavlen::posix::x11
