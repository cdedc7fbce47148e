#!/bin/bash
# Builds and runs every test: the Windows build under Wine in a virtual
# display (the core's platform-dependent tests again, the Win32 suite, and
# the first run of NetworkView.exe, which leaves a screenshot in
# build/windows/screenshots),
# and the portable core natively (clang, with address and undefined-behaviour
# sanitizers): its tests, the contract tests against private Samba servers,
# and its fuzz targets for a few seconds each, side by side.
#
# The Wine suite mostly waits on Wine and the X display, so it runs while the
# native build uses the processors (which yields to it); its output
# comes last, once it has ended. Every part runs even when another fails, and
# the command fails when any part does.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh || exit 1

jobs="$(nproc)"
failed=0
fail() {
  echo "FAILED: $*" >&2
  failed=1
}
# How long a part took, counted from the start of the command.
took() {
  echo "== $* done after ${SECONDS} s"
}

wine_suite=""
wine_log="build/windows/wine-suite.log"
# An interrupted command leaves no Wine suite behind: it runs in a session of
# its own, and the whole session is stopped.
stop_wine_suite() {
  [ -n "$wine_suite" ] && kill -TERM -- "-$wine_suite" 2>/dev/null
}
trap stop_wine_suite EXIT
trap 'exit 130' INT TERM

if cmake --preset windows && cmake --build --preset windows -j "$jobs"; then
  echo "Running the Wine suite in the background; its output follows at the end."
  setsid ctest --preset windows >"$wine_log" 2>&1 &
  wine_suite=$!
  took "the Windows build"
else
  fail "the Windows build"
fi

# A native build folder configured for another compiler (gcc built it once)
# cannot switch in place: it is configured anew.
grep -qs '^CMAKE_CXX_COMPILER:.*clang' build/native/CMakeCache.txt ||
  rm -f build/native/CMakeCache.txt
{
  cmake --preset native &&
    nice cmake --build --preset native -j "$jobs" &&
    nice ctest --preset native -j "$jobs"
} || fail "the native build or its tests"
took "the native suite"

if [ -n "$wine_suite" ]; then
  wait "$wine_suite"
  status=$?
  wine_suite=""
  [ "$status" -eq 0 ] || fail "the Wine suite (ctest exited with status $status)"
  took "the Wine suite"
  echo
  echo "== The Wine suite (ctest --preset windows)"
  cat "$wine_log"
fi
exit "$failed"
