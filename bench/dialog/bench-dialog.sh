#!/usr/bin/env bash
# What the open dialog costs a download: the updater fetches one 256 MiB
# package file from a loopback server, on the console (TAVLEN_UI=console)
# and with the graphical dialog on the display in $DISPLAY (run through
# tests/dialog/with-xvfb.sh). A download's cost in a mode is the time of a
# run with the big file less the time of the same run with a 1 KiB file, so
# the dialog's start-up (fonts, display) is not counted as download. Each
# measurement is taken three times, alternating; the medians and the ratio
# dialog / console are printed. Goal: at most 1.1.
#
#   bench-dialog.sh linux|windows UPDATER FIXTURE
set -uo pipefail
target=$1 updater=$(realpath "$2") fixture=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
[ -n "${DISPLAY:-}" ] || { echo "DISPLAY is not set" >&2; exit 77; }
size_mib=${BENCH_SIZE_MIB:-256}
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; rm -rf "$work"' EXIT

mkdir -p "$work/www"
head -c $((size_mib * 1024 * 1024)) /dev/urandom >"$work/www/big.bin"
head -c 1024 /dev/urandom >"$work/www/small.bin"
# A server that hands the file to the kernel (sendfile), so the agent's side
# is what is measured.
python3 -c '
import http.server, os, sys
os.chdir(sys.argv[1])
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args): pass
    def copyfile(self, source, target):
        self.wfile.flush()
        self.connection.sendfile(source)
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()' "$work/www" >"$work/port" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(tr -d '[:space:]' <"$work/port")
[ -n "$port" ] || { echo "the HTTP server did not start" >&2; exit 1; }
for name in big small; do
  md5=$(md5sum "$work/www/$name.bin" | cut -d' ' -f1)
  cat >"$work/www/$name.xml" <<XML
<?xml version="1.0"?>
<updateinfo version="1.0.0.5"><package name="$name"><url>http://127.0.0.1:$port/$name.bin</url><md5>$md5</md5></package></updateinfo>
XML
done

run() { if [ "$target" = windows ]; then "$wine_run" "$@"; else "$@"; fi; }
export TAVLEN_PREFIX=$work/prefix
cd "$work" || exit 1
install() { run "$fixture" 'C:\tavlen' "http://127.0.0.1:$port/$1.xml?version=%s" 1.0.0.0 >/dev/null || exit 1; }
now() { date +%s.%N; }

console_run() {
  install "$1"
  local start end
  start=$(now)
  TAVLEN_UI=console run "$updater" -auto >/dev/null 2>&1 || { echo "console run failed" >&2; exit 1; }
  end=$(now)
  echo "$end - $start" | bc
}

# The dialog stays open after its run: the run's end is the moment the trace
# shows the update button enabled again.
dialog_run() {
  install "$1"
  local trace=$work/trace-$RANDOM.txt start end pid
  : >"$trace"
  start=$(now)
  TAVLEN_UI_TRACE=$trace run "$updater" -auto >/dev/null 2>&1 &
  pid=$!
  until grep -q -x "1002 enabled 1" "$trace"; do
    kill -0 $pid 2>/dev/null || { echo "dialog run ended early" >&2; exit 1; }
    sleep 0.01
  done
  end=$(now)
  grep -q -x "1003 pos 3" "$trace" || { echo "dialog run did not install the package" >&2; exit 1; }
  kill $pid 2>/dev/null
  wait $pid 2>/dev/null
  echo "$end - $start" | bc
}

median() { sort -g | sed -n 2p; }
declare -A times
for _ in 1 2 3; do
  for size in big small; do
    times[console-$size]+="$(console_run $size) "
    times[dialog-$size]+="$(dialog_run $size) "
  done
done
for key in console-big console-small dialog-big dialog-small; do
  echo "$key: ${times[$key]}s"
done
m() { tr ' ' '\n' <<<"${times[$1]}" | grep . | median; }
c=$(echo "$(m console-big) - $(m console-small)" | bc -l)
d=$(echo "$(m dialog-big) - $(m dialog-small)" | bc -l)
printf '%s MiB download (%s): console %.3f s, dialog %.3f s, ratio dialog/console %.3f (goal <= 1.1)\n' \
  "$size_mib" "$target" "$c" "$d" "$(echo "$d / $c" | bc -l)"
