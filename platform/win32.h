// The one header through which the agent reaches the operating system.
//
// On Windows it is the real Win32 API. On Linux it declares the project's
// own implementation of the same calls, with the same names, types,
// constants and Win32 error codes, over the prefix folder ($TAVLEN_PREFIX,
// by default ~/.tavlen): the registry lives in an SQLite database there,
// drive C: is its drive_c folder and Z: the file-system root. Each area's
// header documents the behaviour the agent relies on.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <mbstring.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>
#else
#include "platform/posix/win_base.h"
#include "platform/posix/win_cp936.h"
#include "platform/posix/win_env.h"
#include "platform/posix/win_files.h"
#include "platform/posix/win_internet.h"
#include "platform/posix/win_process.h"
#include "platform/posix/win_registry.h"
#include "platform/posix/win_shell.h"
#include "platform/posix/win_window.h"
#endif

#include "platform/crt.h"
