#!/usr/bin/env bash
# The project's test command. On a Debian 12 machine it installs what is
# missing, builds the presets linux, linux-asan, mingw-x64 and mingw-i686,
# and runs the tests of linux, linux-asan and mingw-x64 (the last under wine).
# Every step runs even when an earlier one fails. The last line printed is
# "N passed, N failed": tests over the three runs, plus one failure for each
# step that did not complete (setup, configure, build). The exit status is
# non-zero when anything failed.
#
# Environment: JOBS (default 2) for building and testing; BUILD_ROOT (default
# build) for the build folders, each build/<preset>.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-2}
build_root=${BUILD_ROOT:-build}
logs="$build_root/test-all-logs"
mkdir -p "$logs"
exec </dev/null

started=$(date +%s)
total_passed=0
total_failed=0
summary=()

note() { summary+=("$(printf '%-28s %s' "$1" "$2")"); }
elapsed() { echo "$(( $(date +%s) - $1 ))s"; }

# Shows the end of a failed step's log, errors first.
show_failure() {
  local log=$1
  echo "---- $log (errors) ----"
  grep -E -m 40 'error:|Error:|CMake Error|FAILED:|undefined reference|No such file' "$log" || true
  echo "---- $log (last lines) ----"
  tail -n 30 "$log"
}

step_setup() {
  local t0
  t0=$(date +%s)
  echo "== setup"
  if bash scripts/setup-debian.sh >"$logs/setup.log" 2>&1; then
    note setup "ok ($(elapsed "$t0"))"
  else
    show_failure "$logs/setup.log"
    note setup "FAILED ($(elapsed "$t0"))"
    total_failed=$((total_failed + 1))
  fi
}

# build PRESET: configure and build into $build_root/PRESET; builds as much
# as it can when some target fails.
step_build() {
  local preset=$1 dir="$build_root/$1" t0
  t0=$(date +%s)
  echo "== build $preset"
  if ! nice cmake --preset "$preset" -B "$dir" >"$logs/$preset-configure.log" 2>&1; then
    show_failure "$logs/$preset-configure.log"
    note "configure $preset" "FAILED ($(elapsed "$t0"))"
    total_failed=$((total_failed + 1))
    return 1
  fi
  if nice cmake --build "$dir" -j "$jobs" -- -k 0 >"$logs/$preset-build.log" 2>&1; then
    note "build $preset" "ok ($(elapsed "$t0"))"
  else
    show_failure "$logs/$preset-build.log"
    note "build $preset" "FAILED ($(elapsed "$t0"))"
    total_failed=$((total_failed + 1))
  fi
  return 0
}

# test PRESET: ctest in $build_root/PRESET, counting passed and failed tests.
step_test() {
  local preset=$1 dir="$build_root/$1" log="$logs/$1-ctest.log" t0 line total failed
  t0=$(date +%s)
  echo "== test $preset"
  nice ctest --test-dir "$dir" -j "$jobs" --output-on-failure --no-tests=error 2>&1 | tee "$log"
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    note "test $preset" "FAILED (no test results)"
    total_failed=$((total_failed + 1))
    return
  fi
  failed=$(sed -E 's/^[0-9]+% tests passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  total_passed=$((total_passed + total - failed))
  total_failed=$((total_failed + failed))
  note "test $preset" "$((total - failed)) passed, $failed failed ($(elapsed "$t0"))"
  # The names of the failing tests, as ctest lists them.
  while IFS= read -r failing; do
    summary+=("    failed: $(sed -E 's/^[[:space:]]+//' <<<"$failing")")
  done < <(sed -n '/^The following tests FAILED:/,/^Errors while running/p' "$log" | grep -E '^\s+[0-9]+ - ' || true)
}

# The Windows tests share one wine prefix in a fresh temporary folder, made
# before the run so that tests do not race to create it, and one persistent
# wine server so that each test does not start its own.
step_test_wine() {
  local prefix
  prefix=$(mktemp -d "${TMPDIR:-/tmp}/tavlen-wine-XXXXXX")
  export WINEPREFIX="$prefix/prefix" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
  if ! bash scripts/wine-run.sh cmd /c exit 0 >"$logs/wine-init.log" 2>&1; then
    echo "wine prefix creation failed"
    tail -n 20 "$logs/wine-init.log"
  fi
  wineserver -p 2>/dev/null || true
  step_test mingw-x64
  wineserver -k 2>/dev/null || true
  unset WINEPREFIX WINEDEBUG LC_ALL
  rm -rf "$prefix"
}

# Tests that do not come from tavlen_test() get the sanitizer settings too.
step_test_asan() {
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS="suppressions=$root/cmake/lsan-suppressions.txt:print_suppressions=0" \
    step_test linux-asan
}

step_setup
step_build linux && step_test linux
step_build linux-asan && step_test_asan
step_build mingw-x64 && step_test_wine
step_build mingw-i686

echo
echo "== summary (logs in $logs, $(elapsed "$started") in all)"
printf '%s\n' "${summary[@]}"
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
