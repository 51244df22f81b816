#!/usr/bin/env bash
# What the open dialog costs a download: the updater fetches one 256 MiB
# package file from a loopback server, once on the console (TAVLEN_UI=console)
# and once with the graphical dialog on the display in $DISPLAY (run through
# tests/dialog/with-xvfb.sh). Each mode runs three times, alternating; the
# medians and their ratio (dialog / console) are printed. Goal: at most 1.1.
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
md5=$(md5sum "$work/www/big.bin" | cut -d' ' -f1)
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
cat >"$work/www/update.xml" <<XML
<?xml version="1.0"?>
<updateinfo version="1.0.0.5"><package name="big"><url>http://127.0.0.1:$port/big.bin</url><md5>$md5</md5></package></updateinfo>
XML

run() { if [ "$target" = windows ]; then "$wine_run" "$@"; else "$@"; fi; }
export TAVLEN_PREFIX=$work/prefix
cd "$work" || exit 1
install() { run "$fixture" 'C:\tavlen' "http://127.0.0.1:$port/update.xml?version=%s" 1.0.0.0 >/dev/null || exit 1; }
now() { date +%s.%N; }

console_run() {
  install
  local start end
  start=$(now)
  TAVLEN_UI=console run "$updater" -auto >/dev/null 2>&1 || { echo "console run failed" >&2; exit 1; }
  end=$(now)
  echo "$end - $start" | bc
}

# The dialog stays open after its run: the run's end is the moment the trace
# shows the update button enabled again.
dialog_run() {
  install
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
  grep -q -x "1001 pos $((size_mib * 1024 * 1024))" "$trace" || { echo "dialog run did not download the file" >&2; exit 1; }
  kill $pid 2>/dev/null
  wait $pid 2>/dev/null
  echo "$end - $start" | bc
}

median() { sort -g | sed -n 2p; }
console=()
dialog=()
for _ in 1 2 3; do
  console+=("$(console_run)")
  dialog+=("$(dialog_run)")
done
c=$(printf '%s\n' "${console[@]}" | median)
d=$(printf '%s\n' "${dialog[@]}" | median)
echo "download of $size_mib MiB ($target): console ${console[*]} s, dialog ${dialog[*]} s"
printf 'median console %.3f s, dialog %.3f s, ratio dialog/console %.3f (goal <= 1.1)\n' "$c" "$d" "$(echo "$d / $c" | bc -l)"
