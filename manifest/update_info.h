// The in-memory model of one update manifest: the newest version and, when it
// is newer than the installation, its packages with their three action lists.
#pragma once

#include <memory>
#include <string>
#include <vector>

class TiXmlDocument;
class TiXmlElement;
class UpdateAction;

class UpdatePackage {
 public:
  UpdatePackage();
  virtual ~UpdatePackage();
  UpdatePackage(const UpdatePackage&) = delete;
  UpdatePackage& operator=(const UpdatePackage&) = delete;

  // Reads a "package" element: name, version, description, url, md5 and the
  // actions of "pre-actions", "actions" and "post-actions". Always true.
  bool ParsePackage(const TiXmlElement* element);

  // Downloads and verifies the package file, then runs its actions in order.
  bool Install();

  std::string m_szName;
  std::string m_szVersion;
  std::string m_szDescription;
  std::string m_szUrl;
  std::string m_szMd5;
  std::string m_szLocalFile;
  std::vector<std::unique_ptr<UpdateAction>> m_preActions;
  std::vector<std::unique_ptr<UpdateAction>> m_actions;
  std::vector<std::unique_ptr<UpdateAction>> m_postActions;
};

// The log line of a text that is well-formed XML but has no top-level
// "updateinfo" element: not a manifest, so loading it fails.
extern const char* const kNoRootMessage;

class UpdateInfo {
 public:
  UpdateInfo();
  virtual ~UpdateInfo();
  UpdateInfo(const UpdateInfo&) = delete;
  UpdateInfo& operator=(const UpdateInfo&) = delete;

  // Expands the path variables, parses the text and, when the manifest is
  // newer than the installation, builds its packages. False, after one log
  // line, when the text is not well-formed XML, nests elements deeper than
  // the reader can take, or has no top-level "updateinfo" element.
  bool LoadManifest(std::string text);

  // One whole update from the manifest at url; text receives the manifest.
  bool UpdateRun(std::string url, std::string& text);

  std::unique_ptr<TiXmlDocument> m_document;
  std::vector<std::unique_ptr<UpdatePackage>> m_packages;
  std::string m_szVersion;
};
