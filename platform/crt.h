// C runtime calls that take Windows paths.
//
// On Windows these are the C runtime's own functions. On Linux the path is
// mapped through the prefix first, and a stream opened without "b" is in text
// mode as on Windows: every LF written is stored as CR LF.
#pragma once

#include <cstdio>

#ifdef _WIN32
inline FILE* CrtOpen(const char* path, const char* mode) { return std::fopen(path, mode); }
inline int CrtRemove(const char* path) { return std::remove(path); }
#else
FILE* CrtOpen(const char* path, const char* mode);
int CrtRemove(const char* path);
#endif
