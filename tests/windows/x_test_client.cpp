// A small X client that the window tests talk to: one top-level window with
// the class and title given on the command line. It reports on stdout each
// close request ("close") and each agent message ("message N W L"), answers
// _NET_WM_PING unless told not to, and either closes on the first close
// request or ignores every one. It exits when its stdin is closed.
//
//   x_test_client CLASS TITLE close|ignore [noping] [nodelete]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const bool closeOnRequest = std::strcmp(argv[3], "close") == 0;
  bool answerPing = true;
  bool takeDelete = true;
  for (int i = 4; i < argc; ++i) {
    if (std::strcmp(argv[i], "noping") == 0) answerPing = false;
    if (std::strcmp(argv[i], "nodelete") == 0) takeDelete = false;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 3;
  const Window root = DefaultRootWindow(display);
  const Window window = XCreateSimpleWindow(display, root, 0, 0, 80, 40, 0, 0, 0);

  std::string resName = "x_test_client";
  std::string resClass = argv[1];
  XClassHint hint{resName.data(), resClass.data()};
  XSetClassHint(display, window, &hint);
  // The title as UTF-8 (_NET_WM_NAME), as toolkits set it.
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(argv[2]), static_cast<int>(std::strlen(argv[2])));
  const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
  const Atom agentMessage = XInternAtom(display, "_TAVLEN_WINDOW_MESSAGE", False);
  Atom taken[2];
  int takenCount = 0;
  if (takeDelete) taken[takenCount++] = deleteWindow;
  if (answerPing) taken[takenCount++] = ping;
  XSetWMProtocols(display, window, taken, takenCount);
  XMapWindow(display, window);
  XSync(display, False);
  std::printf("ready %lu\n", static_cast<unsigned long>(window));
  std::fflush(stdout);

  pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
  while (true) {
    while (XPending(display) > 0) {
      XEvent event{};
      XNextEvent(display, &event);
      if (event.type != ClientMessage) continue;
      if (event.xclient.message_type == agentMessage) {
        std::printf("message %ld %ld %ld\n", event.xclient.data.l[0], event.xclient.data.l[1], event.xclient.data.l[2]);
      } else if (event.xclient.message_type == protocols &&
                 static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
        std::printf("close\n");
        if (closeOnRequest) {
          std::fflush(stdout);
          XDestroyWindow(display, window);
          XCloseDisplay(display);
          return 0;
        }
      } else if (event.xclient.message_type == protocols && static_cast<Atom>(event.xclient.data.l[0]) == ping) {
        event.xclient.window = root;
        XSendEvent(display, root, False, SubstructureNotifyMask | SubstructureRedirectMask, &event);
        XFlush(display);
      }
      std::fflush(stdout);
    }
    if (poll(watched, 2, -1) < 0) break;
    if (watched[1].revents != 0) {
      char buffer[64];
      if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) break;
    }
  }
  XCloseDisplay(display);
  return 0;
}
