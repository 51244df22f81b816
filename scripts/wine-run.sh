#!/usr/bin/env bash
# Runs a Windows program of the mingw-x64 build under wine64, the way CTest
# runs the Windows tests: a wine prefix in a temporary folder (one per user
# unless WINEPREFIX is set), no wine diagnostics, and a Chinese locale so that
# the ANSI code page is 936.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/tavlen-wine-$(id -u)}
export WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=${TAVLEN_WINE_LOCALE:-zh_CN.UTF-8}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w || true
fi
exec wine "$@"
