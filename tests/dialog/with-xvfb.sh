#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb server, and stops that
# server afterwards. Xvfb picks a free display itself and names it on
# -displayfd once it accepts connections; -noreset keeps it from resetting
# when its last client leaves (a probe connection would race the next).
# For wine, give WINEPREFIX a prefix of the caller's own: its wine server is
# waited for before the display is stopped. The command's status is returned.
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
status=$?
# A wine server outlives its programs for a while, its desktop tied to this
# display: let it end before the display goes, or the next run inherits it.
if [ -n "${WINEPREFIX:-}" ] && command -v wineserver >/dev/null; then
  timeout 60 wineserver -w 2>/dev/null
fi
exit $status
