// Where the product is installed and where the agent itself runs: one
// process-wide set of values, filled once at start-up by LocateInstallation
// and only read afterwards.
#pragma once

#include <string>

struct InstallContext {
  std::string m_szRegKey;       // product key below HKEY_LOCAL_MACHINE, upper case
  std::string m_szCurVersion;   // installed version "a.b.c.d", or empty
  std::string m_szAppPath;      // installation folder, as stored
  std::string m_szDownloadDir;  // m_szAppPath + "\download"
  std::string m_szUpdateUrl;    // manifest URL
  std::string m_szWinPath;      // Windows folder
  std::string m_szSys32Path;    // system folder
  std::string m_szModulePath;   // full path of the running agent
  std::string m_szModuleDir;    // its folder, without a trailing backslash
  std::string m_szModuleName;   // its file name
  bool m_bAutoStart = false;    // "-auto": the dialog starts the update by itself
};

// The process-wide context.
InstallContext& AppContext();

// Fills the context from the registry, the system and the running executable
// and creates the download folder. False when the product is not installed.
bool LocateInstallation();

// Full path of the running executable; empty when it does not fit MAX_PATH.
std::string GetModulePath();

// The manifest URL used when the product key has no "updateurl".
extern const char* const kDefaultUpdateUrl;
