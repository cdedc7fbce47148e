#!/bin/bash
# Builds NetworkView.exe and starts it under Wine.
#
# On first use it puts an ips.txt naming this computer beside the program, so
# that the first run shows a real machine. With an X display the program
# opens there and this script waits for it to close; without one it runs in
# a virtual display for a few seconds and leaves a screenshot.
#
# With --demo it starts the same program on a scripted network with data
# instead (scripts/run-demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${1:-}" = "--demo" ] && exec scripts/run-demo.sh

scripts/install-deps.sh
cmake --preset windows
cmake --build --preset windows --target NetworkView -j "$(nproc)"

build="$PWD/build/windows"
had_display=0
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && had_display=1
. tests/win32/wine-env.sh
wine_env_setup "$build"

if [ ! -f "$build/ips.txt" ]; then
  printf '%s\r\n' "$(wine hostname | tr -d '\r\n')" >"$build/ips.txt"
fi

cd "$build"
if [ "$had_display" -eq 1 ]; then
  exec wine NetworkView.exe
fi

wine NetworkView.exe &
program=$!
sleep 4
mkdir -p screenshots
import -window root screenshots/run.png
echo "No display here: NetworkView.exe ran in a virtual one; screenshot: $build/screenshots/run.png"
wine taskkill /im NetworkView.exe >/dev/null 2>&1 || true
wait "$program" || true
