#!/usr/bin/env bash
# Installs everything the project needs on a Debian 12 machine (as root, or
# through sudo), without recommended packages: what the project needs from a
# package's recommendations is listed here (wine for the wine command, xauth
# for xvfb-run, the GL headers for FLTK's CMake module). Then it unpacks the Debian sources that the Windows builds
# compile. Safe to run again: it does nothing when everything is present.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  cmake ninja-build g++ pkg-config
  libsqlite3-dev libtinyxml-dev libminizip-dev zlib1g-dev libcurl4-openssl-dev
  libx11-dev libfltk1.3-dev libgl-dev libglu1-mesa-dev fonts-wqy-microhei
  xvfb xauth xdotool imagemagick nginx-light zip unzip curl python3 openssl
  wine wine64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev mingw-w64-tools
  locales dpkg-dev googletest
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
# nginx-light and nginx both provide the server; either will do.
if command -v nginx >/dev/null; then
  kept=()
  for p in ${missing[@]+"${missing[@]}"}; do
    [ "$p" = nginx-light ] || kept+=("$p")
  done
  missing=(${kept[@]+"${kept[@]}"})
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  if ! as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    # Some releases ship the light server only under its plain name.
    missing=("${missing[@]/nginx-light/nginx}")
    as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

# The Chinese locale: LC_ALL=zh_CN.UTF-8 makes wine's ANSI code page 936.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  echo "setup: generating zh_CN.UTF-8"
  if ! grep -qs '^zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen >/dev/null
fi

bash "$root/scripts/fetch-windows-deps.sh" >/dev/null
