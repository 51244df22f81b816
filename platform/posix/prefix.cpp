#include "platform/posix/prefix.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace tavlen::posix {

namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) return entry->pw_dir;
  return "/tmp";
}

std::string ChoosePrefix() {
  std::string prefix;
  if (const char* configured = std::getenv("TAVLEN_PREFIX"); configured != nullptr && *configured != '\0') {
    prefix = configured;
  } else {
    prefix = HomeFolder() + "/.tavlen";
  }
  while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
  mkdir(prefix.c_str(), 0755);
  mkdir((prefix + "/drive_c").c_str(), 0755);
  return prefix;
}

}  // namespace

const std::string& PrefixFolder() {
  static const std::string prefix = ChoosePrefix();
  return prefix;
}

}  // namespace tavlen::posix
