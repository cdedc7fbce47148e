#!/bin/bash
# Builds and runs every test: the portable core natively (with address and
# undefined-behaviour sanitizers), its fuzz targets for a few seconds each,
# then the Windows build under Wine in a
# virtual display (the core's tests again, the Win32 suite, and the first run
# of NetworkView.exe, which leaves a screenshot in build/windows/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs="$(nproc)"
cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz

cmake --preset windows
cmake --build --preset windows -j "$jobs"
ctest --preset windows
