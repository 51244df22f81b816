// Product versions "a.b.c.d": the installed version packed into the first
// four bytes of the binary value "cert" of the product key, its text copy
// "DisplayVersion" in the uninstall key, and the comparison with the manifest.
#pragma once

#include <cstdint>
#include <string>

// Bit layout of the packed form (little-endian in "cert"): 4 bits, 8 bits,
// 4 bits and 16 bits, first number in the top bits.
uint32_t PackVersion(const std::string& version);
std::string UnpackVersion(uint32_t packed);

// The installed version as text, or empty when "cert" cannot be read.
std::string ReadInstalledVersion();

// 1 when the installed version (AppContext().m_szCurVersion) is lower than
// version; 0 or less otherwise.
int CompareWithInstalled(const std::string& version);

// Records version in "cert" (when that value exists) and in "DisplayVersion".
void StoreInstalledVersion(std::string version);

// The uninstall key that carries "DisplayVersion"; it does not follow the partner.
extern const char* const kUninstallKey;
