#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb server, and stops that
# server afterwards. Xvfb picks a free display itself and names it on
# -displayfd once it accepts connections; -noreset keeps it from resetting
# when its last client leaves (a probe connection would race the next). The command's status is returned.
#   with-xvfb.sh COMMAND [ARGS...]
set -uo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 77; }
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$ready" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -f "$ready"' EXIT
for _ in $(seq 100); do
  [ -s "$ready" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
number=$(tr -d '[:space:]' <"$ready")
[ -n "$number" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=:$number "$@"
