#!/usr/bin/env bash
# End to end: the updater program with its graphical dialog on the X display
# in $DISPLAY (run it through with-xvfb.sh). A manifest on a loopback HTTP
# server names version 1.0.0.5 with one package file; the installation is at
# 1.0.0.0. "updater -auto" must run the update with the buttons disabled and
# enable them after; a click on the update button starts a second run; a
# click on the close button ends the process. The dialog is followed through
# TAVLEN_UI_TRACE; screenshots go to the output folder.
#
#   e2e-dialog.sh linux   UPDATER FIXTURE OUTDIR
#   e2e-dialog.sh windows UPDATER.exe FIXTURE.exe OUTDIR   (WINEPREFIX: a prefix of the test's own)
set -uo pipefail
target=$1 updater=$(realpath "$2") fixture=$(realpath "$3") outdir=$(realpath -m "$4")
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
[ -n "${DISPLAY:-}" ] || { echo "DISPLAY is not set" >&2; exit 77; }
for tool in xdotool import python3; do command -v $tool >/dev/null || { echo "$tool is missing" >&2; exit 77; }; done
mkdir -p "$outdir"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  [ -n "${KEEP_WORK:-}" ] && return
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; echo "--- trace" >&2; tail -n 40 "$work/trace.txt" >&2; exit 1; }

# The server: a package file of 4 MiB and the manifest, on a free port.
mkdir -p "$work/www"
head -c $((4 * 1024 * 1024)) /dev/urandom >"$work/www/core.bin"
python3 -c '
import functools, http.server, sys
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
handler.log_message = lambda *args: None
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
print(server.server_address[1], flush=True)
server.serve_forever()' "$work/www" >"$work/port" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(tr -d '[:space:]' <"$work/port")
[ -n "$port" ] || fail "the HTTP server did not start"
md5=$(md5sum "$work/www/core.bin" | cut -d' ' -f1)
cat >"$work/www/update.xml" <<XML
<?xml version="1.0"?>
<updateinfo version="1.0.0.5"><package name="core"><description>core</description><url>http://127.0.0.1:$port/core.bin</url><md5>$md5</md5></package></updateinfo>
XML

run() {
  if [ "$target" = windows ]; then "$wine_run" "$@"; else "$@"; fi
}
export TAVLEN_PREFIX=$work/prefix
run "$fixture" 'C:\tavlen' "http://127.0.0.1:$port/update.xml?version=%s" 1.0.0.0 || fail "installation fixture"

cd "$work" || exit 1
export TAVLEN_UI_TRACE=$work/trace.txt
: >"$TAVLEN_UI_TRACE"
unset TAVLEN_UI
run "$updater" -auto >"$work/updater.out" 2>&1 &
updater_pid=$!
pids+=($updater_pid)

count() { grep -c -x -F "$1" "$TAVLEN_UI_TRACE"; }
# Waits until the trace holds the line at least n times.
wait_for() {
  local line=$1 n=$2
  for _ in $(seq 900); do
    [ "$(count "$line")" -ge "$n" ] && return 0
    kill -0 $updater_pid 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
click() {
  local rect
  rect=$(grep -E "^$1 rect " "$TAVLEN_UI_TRACE" | tail -n 1) || fail "no place for control $1"
  read -r _ _ x y w h <<<"$rect"
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}

wait_for "1002 enabled 1" 1 || fail "the automatic run did not end with the buttons enabled"
sleep 0.5
import -window root "$outdir/dialog-$target-after-auto.png"

# What the first run showed, in order.
grep -q -x -F "1004 text 当前版本号：1.0.0.0" "$TAVLEN_UI_TRACE" || fail "installed version label"
grep -q -x -F "1005 text 最新版本号：1.0.0.5" "$TAVLEN_UI_TRACE" || fail "newest version label"
first_disable=$(grep -n -x -F "1002 enabled 0" "$TAVLEN_UI_TRACE" | head -n 1 | cut -d: -f1)
close_disable=$(grep -n -x -F "2 enabled 0" "$TAVLEN_UI_TRACE" | head -n 1 | cut -d: -f1)
first_enable=$(grep -n -x -F "1002 enabled 1" "$TAVLEN_UI_TRACE" | head -n 1 | cut -d: -f1)
[ -n "$first_disable" ] && [ -n "$close_disable" ] && [ "$first_disable" -lt "$first_enable" ] &&
  [ "$close_disable" -lt "$first_enable" ] || fail "buttons were not disabled during the run"
during=$(sed -n "${first_disable},${first_enable}p" "$TAVLEN_UI_TRACE")
[ "$(grep -c '^1000 text ' <<<"$during")" -ge 3 ] || fail "the status line did not move"
grep -q -x -F "1001 pos $((4 * 1024 * 1024))" <<<"$during" || fail "the file bar did not reach the file's end"
[ "$(grep -c '^1001 pos ' <<<"$during")" -ge 50 ] || fail "the file bar did not move through the download"
grep -q -E '^1003 pos [1-9]' <<<"$during" || fail "the overall bar did not move"
kill -0 $updater_pid 2>/dev/null || fail "the dialog closed by itself after the run"

# A second run from the update button: the installation is now up to date.
click 1002
wait_for "1002 enabled 1" 2 || fail "the second run did not end"
[ "$(count "1002 enabled 0")" -ge 2 ] || fail "the second run did not disable the buttons"
sleep 0.5
import -window root "$outdir/dialog-$target-after-second-run.png"

# The close button ends the process.
click 2
for _ in $(seq 150); do kill -0 $updater_pid 2>/dev/null || break; sleep 0.1; done
kill -0 $updater_pid 2>/dev/null && fail "the close button did not end the program"
wait $updater_pid
status=$?
[ $status -eq 0 ] || fail "the program ended with status $status"
grep -q -x closed "$TAVLEN_UI_TRACE" || fail "the dialog did not report its end"
echo "e2e-dialog $target: passed; screenshots in $outdir"
