#!/usr/bin/env bash
# What the open dialog costs a download: the updater fetches one 256 MiB
# package file from a loopback server, on the console (TAVLEN_UI=console)
# and with the graphical dialog on the display in $DISPLAY (run through
# tests/dialog/with-xvfb.sh). Timed is the download itself, from the status
# line that names it to the one that starts its MD5 check, as each front end
# shows them (phase_timer.py), so neither the dialog's start-up (fonts,
# display) nor the check is counted. Five runs per mode, alternating; the
# medians and the ratio dialog / console are printed. Goal: at most 1.1.
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
for name in big; do
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
# The download phase as each front end shows it (phase_timer.py): start-up,
# the manifest and the MD5 check afterwards are not counted.
timer_ready() {
  for _ in $(seq 1000); do [ -e "$1" ] && return 0; sleep 0.01; done
  return 1
}

console_run() {
  install "$1"
  local fifo=$work/fifo-$RANDOM ready=$work/ready-$RANDOM timer
  mkfifo "$fifo"
  python3 "$here/phase_timer.py" pipe "$fifo" "$ready" >"$work/result" &
  timer=$!
  timer_ready "$ready" || exit 1
  # Line-buffered output on Linux; the Windows program flushes its own lines.
  local command=(stdbuf -oL "$updater")
  [ "$target" = windows ] && command=("$wine_run" "$updater")
  TAVLEN_UI=console "${command[@]}" -auto 2>&1 | tee "$work/console.out" >"$fifo"
  wait $timer
  grep -q fail "$work/result" && tr '\r' '\n' <"$work/console.out" | tail -n 5 >&2
  cat "$work/result"
}

# The dialog stays open after its run; the trace shows its phases.
dialog_run() {
  install "$1"
  local trace=$work/trace-$RANDOM.txt ready=$work/ready-$RANDOM pid timer
  : >"$trace"
  python3 "$here/phase_timer.py" follow "$trace" "$ready" >"$work/result" &
  timer=$!
  timer_ready "$ready" || exit 1
  TAVLEN_UI_TRACE=$trace run "$updater" -auto >/dev/null 2>&1 &
  pid=$!
  wait $timer
  # The run ends before the next one is set up (the measurement is done).
  for _ in $(seq 600); do grep -q -x "1002 enabled 1" "$trace" && break; sleep 0.1; done
  kill $pid 2>/dev/null
  wait $pid 2>/dev/null
  cat "$work/result"
}

median() { sort -g | sed -n 3p; }
console=()
dialog=()
for _ in 1 2 3 4 5; do
  console+=("$(console_run big)")
  dialog+=("$(dialog_run big)")
done
echo "download phase, console: ${console[*]} s; dialog: ${dialog[*]} s"
case "${console[*]} ${dialog[*]}" in *fail*) echo "a run did not show its download" >&2; exit 1 ;; esac
c=$(printf '%s\n' "${console[@]}" | median)
d=$(printf '%s\n' "${dialog[@]}" | median)
printf '%s MiB download (%s): console %.3f s, dialog %.3f s, ratio dialog/console %.3f (goal <= 1.1)\n' \
  "$size_mib" "$target" "$c" "$d" "$(echo "$d / $c" | bc -l)"
