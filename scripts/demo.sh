#!/usr/bin/env bash
# A demonstration update on Linux, end to end: builds the agent, creates a
# prefix with an installed product (version 1.0.0.0) from a .reg file, and
# runs the agent once in the console front end ("-auto").
#
# Each step is a function; main() at the bottom lists them in order.
# Environment: TAVLEN_PREFIX (default build/demo/prefix, emptied first),
# BUILD_DIR (default build/linux), JOBS (default 2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build_dir=$(realpath -m "${BUILD_DIR:-$root/build/linux}")
jobs=${JOBS:-2}
demo_dir="$root/scripts/demo"
export TAVLEN_PREFIX=${TAVLEN_PREFIX:-$root/build/demo/prefix}
# The loopback address that the demo installation's "updateurl" names.
demo_port=18473
# The installation folder, as the registry names it and as Linux sees it.
install_dir_windows='C:\Program Files\Tavlen'
install_dir="$TAVLEN_PREFIX/drive_c/Program Files/Tavlen"

say() { printf '\n== %s\n' "$*"; }

step_setup() {
  say "installing what is missing"
  bash "$root/scripts/setup-debian.sh"
}

step_build() {
  say "building the linux preset into $build_dir"
  nice cmake --preset linux -B "$build_dir" >/dev/null
  nice cmake --build "$build_dir" -j "$jobs" --target updater tavlen-reg
  updater="$build_dir/app/updater"
  tavlen_reg="$build_dir/tools/tavlen-reg/tavlen-reg"
}

# A fresh prefix with the product's installation folder.
step_prefix() {
  say "creating the prefix $TAVLEN_PREFIX"
  rm -rf "$TAVLEN_PREFIX"
  mkdir -p "$install_dir"
  echo "Tavlen 1.0.0.0" >"$install_dir/version.txt"
}

# The product key: the installation folder as the default value, "cert" =
# 00 00 00 10 (version 1.0.0.0 packed), "updateurl" on loopback.
step_import_installation() {
  say "importing $demo_dir/installation.reg"
  "$tavlen_reg" import "$demo_dir/installation.reg"
  "$tavlen_reg" query 'HKLM\SOFTWARE\TAVLEN\TAVLEN ACC' || true
}

# Serves version 1.0.1.0 on 127.0.0.1:$demo_port with nginx (tests/servers):
# a zip unpacked into the installation, a text file copied there, and a
# registry value written. Stopped when the script ends.
step_serve_update() {
  local state="$root/build/demo/servers" www
  say "serving the update with nginx on 127.0.0.1:$demo_port"
  TAVLEN_NGINX_PORT=$demo_port bash "$root/tests/servers/servers.sh" start "$state" 900
  trap "bash '$root/tests/servers/servers.sh' stop '$state'" EXIT
  www="$state/www/tavlen"
  mkdir -p "$www"
  python3 - "$www/core.zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as archive:
    archive.writestr("version.txt", "Tavlen 1.0.1.0\n")
    archive.writestr("bin/tavlen.txt", "the product's new program files\n")
PY
  printf 'Release notes of 1.0.1.0\n' >"$www/notes.txt"
  local core_md5 notes_md5
  core_md5=$(md5sum "$www/core.zip" | cut -d' ' -f1)
  notes_md5=$(md5sum "$www/notes.txt" | cut -d' ' -f1)
  cat >"$www/update.xml" <<XML
<?xml version="1.0"?>
<updateinfo version="1.0.1.0">
  <package name="core">
    <description>core files</description>
    <url>http://127.0.0.1:$demo_port/tavlen/core.zip</url>
    <md5>$core_md5</md5>
    <actions>
      <action type="unzip" file="\${this_file}" where="\${app_path}"/>
    </actions>
  </package>
  <package name="notes">
    <description>release notes</description>
    <url>http://127.0.0.1:$demo_port/tavlen/notes.txt</url>
    <md5>$notes_md5</md5>
    <actions>
      <action type="copy" from="\${this_file}" to="\${app_path}\notes.txt" move="false"/>
      <action type="registry" key="HKEY_LOCAL_MACHINE\SOFTWARE\TAVLEN\TAVLEN ACC" valuename="channel" value="demo"/>
    </actions>
  </package>
</updateinfo>
XML
  echo "manifest: http://127.0.0.1:$demo_port/tavlen/update.xml"
}

# Runs the agent once: in its dialog when a display can be opened (the
# dialog stays open after the run until it is closed), otherwise on the
# console, where its exit status is the run's outcome.
step_run_updater() {
  say "running updater -auto (installed: 1.0.0.0, manifest: http://127.0.0.1:$demo_port/)"
  local status=0 ui=console
  if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    ui=gui
    echo "the progress dialog opens on $DISPLAY: close it to see the result"
  fi
  (cd "$install_dir" && TAVLEN_UI=$ui timeout 600 "$updater" -auto </dev/null) || status=$?
  echo "updater exited with status $status"
  return "$status"
}

step_show_result() {
  say "result"
  local log
  log=$(find "$TAVLEN_PREFIX" -name updater.log -print -quit 2>/dev/null || true)
  if [ -n "$log" ]; then
    echo "--- $log"
    iconv -f GBK -t UTF-8 "$log" 2>/dev/null || cat "$log"
  fi
  "$tavlen_reg" query 'HKLM\SOFTWARE\TAVLEN\TAVLEN ACC' || true
  "$tavlen_reg" query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\TAVLEN ACC' || true
  echo "installation folder ($install_dir_windows):"
  ls -laR "$install_dir"
}

main() {
  step_setup
  step_build
  step_prefix
  step_import_installation
  step_serve_update
  local status=0
  step_run_updater || status=$?
  step_show_result
  return "$status"
}

main "$@"
