// The name under which a package file is stored in the download folder.
#pragma once

#include <string>

// FileNameFromUrl of the URL without its query and fragment, with every
// character that a Windows file name cannot hold (\ / : * ? " < > | and
// control bytes) replaced by "_", so the file always lands inside the
// download folder. "." and ".." become empty names, which no file can take.
std::string PackageFileName(const std::string& url);
