// A demo installation for whole update runs: an installation folder with its
// download folder, the product key with "cert", a manifest and packages
// served by nginx on loopback, and the recording main window.
#pragma once

#include <string>
#include <vector>

#include "tests/servers/loopback_servers.h"
#include "tests/servers/recording_display.h"
#include "tests/servers/work_folder.h"

namespace tavlen::test {

struct PackageSpec {
  std::string name;       // also the file name on the server
  std::string contents;   // served bytes
  bool wrongDigest = false;
};

class RunFixture {
 public:
  // Installs version installed under the product key of a partner of its own.
  explicit RunFixture(const std::string& installed);
  ~RunFixture();

  // Serves a manifest of version with one package per spec; each copies its
  // file to ${app_path}\<name>. Returns the manifest's URL.
  std::string ServeManifest(const std::string& version, const std::vector<PackageSpec>& packages);
  // Serves the text as it is; returns its URL.
  std::string ServeText(const std::string& name, const std::string& text);

  // Sets the product key's "updateurl".
  void SetUpdateUrl(const std::string& url);
  // The partner name whose product key this installation uses.
  std::string Partner() const { return m_tag; }

  std::string AppFile(const std::string& name) const { return m_app + "\\" + name; }
  const std::string& DownloadDir() const { return m_download; }
  // The installed version as recorded in "cert" and "DisplayVersion".
  std::string CertVersion() const;
  std::string DisplayVersion() const;

  LoopbackServers servers;
  WorkFolder work;

 private:
  std::string m_tag;
  std::string m_app;
  std::string m_download;
  std::vector<std::string> m_served;
};

}  // namespace tavlen::test
