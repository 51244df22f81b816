#!/usr/bin/env bash
# Runs the transfer benchmarks: BUILD is a Linux build folder with the
# targets download_bench and md5_bench. Needs about 1.3 GiB in $TMPDIR.
set -euo pipefail
build=${1:?build folder}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tavlen-bench-XXXXXX")
state=$work/servers
cleanup() { "$here/../../tests/servers/servers.sh" stop "$state" || true; rm -rf "$work"; }
trap cleanup EXIT

"$here/../../tests/servers/servers.sh" start "$state" 1800
export TAVLEN_PREFIX=$work/prefix
port=$(cat "$state/nginx.port")
head -c $((256 << 20)) /dev/urandom >"$state/www/256m.bin"
head -c $((16 << 20)) /dev/urandom >"$state/www/16m.bin"
mkdir -p "$work/out"

"$build/bench/transfer/download_bench" speed "http://127.0.0.1:$port/256m.bin" "$work/out"
rm -f "$work/out"/*
head -c $((1 << 30)) /dev/urandom >"$state/www/1g.bin"
"$build/bench/transfer/download_bench" memory "http://127.0.0.1:$port/16m.bin" "http://127.0.0.1:$port/1g.bin" "$work/out"
rm -f "$work/out"/*
"$build/bench/transfer/md5_bench" "$state/www/1g.bin"
