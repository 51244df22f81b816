// tavlen-reg: the Linux build's registry tool, with the syntax of reg.exe.
#include <strings.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/tavlen-reg/commands.h"

namespace {

const char kUsage[] =
    "Usage: tavlen-reg COMMAND ...\n"
    "  query  KEY [/v NAME | /ve] [/s]\n"
    "  add    KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]\n"
    "  delete KEY [/v NAME | /ve | /va] [/f]\n"
    "  import FILE.reg\n"
    "  export KEY FILE [/y]\n"
    "KEY starts with HKLM, HKCU, HKCR, HKU or HKCC (or their full names).\n"
    "TYPE is REG_SZ (default), REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_QWORD, REG_BINARY or REG_NONE.\n"
    "The registry is $TAVLEN_PREFIX/registry.db (by default ~/.tavlen/registry.db).\n";

struct Command {
  const char* name;
  int (*run)(const std::vector<std::string>&);
};

const Command kCommands[] = {
    {"query", tavlen::reg::QueryCommand},   {"add", tavlen::reg::AddCommand},
    {"delete", tavlen::reg::DeleteCommand}, {"import", tavlen::reg::ImportCommand},
    {"export", tavlen::reg::ExportCommand},
};

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  const std::string command = argv[1];
  if (command == "/?" || command == "-?" || command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const Command& candidate : kCommands) {
    if (strcasecmp(candidate.name, command.c_str()) == 0) return candidate.run(args);
  }
  std::fprintf(stderr, "ERROR: unknown command \"%s\"\n%s", command.c_str(), kUsage);
  return 1;
}
