// The agent's entry point: hands the command line after the program name to
// start-up, as the windowing framework does on Windows.
#include <string>

#include "app/startup.h"
#include "platform/win32.h"

#ifdef _WIN32
#include <mbctype.h>

namespace {

// The text after the program name in the process's command line.
std::string CommandLineAfterProgram() {
  const char* text = GetCommandLineA();
  if (*text == '"') {
    ++text;
    while (*text != '\0' && *text != '"') ++text;
    if (*text == '"') ++text;
  } else {
    while (*text != '\0' && *text != ' ' && *text != '\t') ++text;
  }
  while (*text == ' ' || *text == '\t') ++text;
  return text;
}

}  // namespace

int main() {
  _setmbcp(_MB_CP_ANSI);
  UpdaterApp app;
  return app.InitInstance(CommandLineAfterProgram());
}
#else
int main(int argc, char** argv) {
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  UpdaterApp app;
  return app.InitInstance(commandLine);
}
#endif
