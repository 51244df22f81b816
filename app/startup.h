// Start-up of the agent: the switches, the product key of the selected
// partner, the installation, then the progress dialog until it is closed.
#pragma once

#include <string>

#include "platform/ui/dialog_frame.h"

struct StartupSwitches {
  bool autoStart = false;
  bool help = false;
  std::string regKey;  // upper case
};

// Reads the command line (the text after the program name): "-auto",
// "-help" and "-p=partnername", without regard to case.
StartupSwitches ParseCommandLine(const std::string& commandLine);

class UpdaterApp {
 public:
  // Runs the agent. Returns the process's exit status: 0 after the dialog
  // closed (on the console: 0 when the last run succeeded or there was nothing
  // to do), 1 when an update run failed, 2 when the product is not installed.
  int InitInstance(const std::string& commandLine);
};

extern const char* const kUsageText;
extern const char* const kNotInstalledText;
