#!/usr/bin/env bash
# Runs a Windows program of the mingw-x64 build under wine64, the way CTest
# runs the Windows tests (CMAKE_CROSSCOMPILING_EMULATOR): a wine prefix in a
# temporary folder (one per user unless WINEPREFIX is set), no wine
# diagnostics, and a Chinese locale so that the ANSI code page is 936.
# The program's exit status is returned unchanged.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/tavlen-wine-$(id -u)}
export WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=${TAVLEN_WINE_LOCALE:-zh_CN.UTF-8}
# No Mono or Gecko installers: nothing here needs them, and they would ask.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # Programs started side by side must not create the prefix twice.
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 </dev/null || true
    wineserver -w || true
  fi
  flock -u 9
  exec 9>&-
fi
exec wine "$@"
