// Linux: InternetGetConnectedState.
//
// "Connected" means that some network interface other than a loopback is up,
// running and has an IPv4 or IPv6 address. A machine (or a network namespace,
// as `unshare -rn` makes one) whose only interface is a loopback is offline,
// even though servers on 127.0.0.1 may still answer there.
#include "platform/posix/win_internet.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <cstdlib>
#include <initializer_list>

namespace {

bool HasNetworkInterface() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool found = false;
  for (const ifaddrs* entry = list; entry != nullptr && !found; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr) continue;
    const int family = entry->ifa_addr->sa_family;
    const unsigned flags = entry->ifa_flags;
    found = (family == AF_INET || family == AF_INET6) && (flags & IFF_UP) && (flags & IFF_RUNNING) &&
            !(flags & IFF_LOOPBACK);
  }
  freeifaddrs(list);
  return found;
}

bool ProxyConfigured() {
  for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

BOOL InternetGetConnectedState(LPDWORD flags, DWORD) {
  const bool connected = HasNetworkInterface();
  if (flags != nullptr) {
    *flags = connected ? (INTERNET_CONNECTION_LAN | INTERNET_CONNECTION_CONFIGURED) : 0;
    if (connected && ProxyConfigured()) *flags |= INTERNET_CONNECTION_PROXY;
  }
  return connected ? TRUE : FALSE;
}
