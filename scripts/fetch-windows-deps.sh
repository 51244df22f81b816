#!/usr/bin/env bash
# Unpacks Debian's source packages of TinyXML and zlib (whose contrib/minizip
# holds minizip) into .deps/src, where the Windows presets compile them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dest="$root/.deps/src"
if compgen -G "$dest/tinyxml-*/tinyxml.cpp" >/dev/null && compgen -G "$dest/zlib-*/contrib/minizip/unzip.c" >/dev/null; then
  exit 0
fi

sources=/etc/apt/sources.list.d/tavlen-deb-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$sources"
  else
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/tavlen-deb-src.list
  fi
  apt-get update -qq
fi

mkdir -p "$dest"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fetch() {
  apt-get source -qq --download-only tinyxml &&
    # The release version of zlib: the newest security upload may be missing
    # from the source archive.
    { apt-get source -qq --download-only zlib=1:1.2.13.dfsg-1 || apt-get source -qq --download-only zlib; }
}
# The source lists may be stale or never read on a fresh machine.
fetch 2>/dev/null || { apt-get update -qq && fetch; }
for dsc in tinyxml_*.dsc zlib_*.dsc; do
  dpkg-source --no-check -x "$dsc" >/dev/null
done
rm -rf "$dest"/tinyxml-* "$dest"/zlib-*
mv tinyxml-*/ zlib-*/ "$dest"/
ls "$dest"
