#!/bin/bash
# Builds NetworkView.exe and the scripted netapi32.dll and starts the program
# under Wine on the demo network (tests/netapi32/demo-network.txt): the
# domains LAB and OFFICE, and in LAB this computer with something in every
# category. The program is the real one; only the network is scripted.
#
# With an X display the window opens there and this script waits for it to
# close. Without one it runs in a virtual display, opens this computer's
# shares and sessions as a user would with the keyboard, and leaves a
# screenshot. scripts/run.sh --demo comes here.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset windows
cmake --build --preset windows --target NetworkView scripted_netapi32 -j "$(nproc)"

build="$PWD/build/windows"
demo="$build/demo"
had_display=0
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 && had_display=1
. tests/win32/wine-env.sh
wine_env_setup "$build"

# The program, the library beside it, and a host of the host list.
mkdir -p "$demo"
cp "$build/NetworkView.exe" "$build/scripted/netapi32.dll" "$demo/"
printf 'GATEWAY\r\n' >"$demo/ips.txt"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;netapi32=n"
NV_SCRIPTED_NETWORK="$(winepath -w "$PWD/tests/netapi32/demo-network.txt")"
export NV_SCRIPTED_NETWORK

cd "$demo"
if [ "$had_display" -eq 1 ]; then
  exec wine NetworkView.exe
fi

wine NetworkView.exe &
program=$!
window=""
for _ in $(seq 150); do
  window="$(xdotool search --onlyvisible --name '^Network View' 2>/dev/null | head -n 1 || true)"
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "NetworkView.exe showed no window" >&2; exit 1; }
sleep 1.5

# The client area lies inside the frame Wine draws (as in first-run.sh);
# the tree's lines are 16 pixels apart, "Internet" the first.
eval "$(xdotool getwindowgeometry --shell "$window")"
border=$(((WIDTH - 562) / 2))
client_x=$((X + border))
client_y=$((Y + HEIGHT - 466 - border))
click_line() { xdotool mousemove "$((client_x + $1))" "$((client_y + 8 + 16 * $2))" click 1; sleep 0.5; }
keys() { for k in "$@"; do xdotool key "$k"; sleep 0.4; done; }

click_line 40 0                       # Internet
keys Down Right                       # LAB and its machines
keys Down Right                       # this computer and its categories
keys Down Down Down Down Down Right   # Shares
keys Down Down Down Down Down Down Right  # Sessions
click_line 100 14                     # the first session and its details

mkdir -p screenshots
import -window root screenshots/demo.png
echo "No display here: NetworkView.exe ran on the demo network in a virtual one; screenshot: $demo/screenshots/demo.png"
wine taskkill /im NetworkView.exe >/dev/null 2>&1 || true
wait "$program" || true
