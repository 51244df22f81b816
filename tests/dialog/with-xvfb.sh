#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb server on a free display
# number, and stops that server afterwards. The command's status is returned.
#   with-xvfb.sh COMMAND [ARGS...]
set -uo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 77; }
display=""
xvfb_pid=""
for n in $(seq 120 220); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    display=":$n"
    break
  fi
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
done
[ -n "$display" ] || { echo "no free display for Xvfb" >&2; exit 1; }
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null' EXIT
DISPLAY=$display "$@"
