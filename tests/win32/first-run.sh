#!/bin/bash
# The first run as a newcomer sees it: NetworkView.exe in a folder of its own
# with an ips.txt naming this computer. Checks the caption, keeps a screenshot
# of the window in the given folder, adds a host as a user would (a click on
# "Internet", the action button, the host typed into "Add IP/Host" and
# Enter), closes the program and checks that it wrote its host list back with
# the new host.
#
# first-run.sh PATH_TO_NetworkView.exe SCREENSHOT_FOLDER EXPECTED_VERSION
set -u
. "$(dirname "$0")/wine-env.sh"

exe="$1"
shots="$2"
version="$3"
build_dir="$(wine_env_build_dir "$exe")"
wine_env_setup "$build_dir"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

dir="$(mktemp -d "$build_dir/first-run.XXXXXX")"
cleanup_dir() { rm -rf "$dir"; wine_env_cleanup; }
trap cleanup_dir EXIT

computer="$(wine hostname | tr -d '\r\n')"
[ -n "$computer" ] || fail "Wine gives no computer name"
cp "$exe" "$dir/NetworkView.exe"
printf '%s\r\n' "$computer" >"$dir/ips.txt"

(cd "$dir" && wine NetworkView.exe) &
program=$!

window=""
for _ in $(seq 150); do
  window="$(xdotool search --onlyvisible --name '^Network View' 2>/dev/null | head -n 1)"
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no window titled Network View appeared"

title="$(xdotool getwindowname "$window")"
[ "$title" = "Network View $version" ] || fail "caption is '$title', expected 'Network View $version'"
echo "caption: $title"

# The tree is built 300 ms after start; a second later the status bar flashes.
sleep 1.6
mkdir -p "$shots"
import -window root "$shots/first-run.png" || fail "no screenshot"
echo "screenshot: $shots/first-run.png"

# Where the window's client area lies on the screen: the X window holds the
# frame Wine draws, of equal width left, right and below, and the caption.
eval "$(xdotool getwindowgeometry --shell "$window")"
border=$(((WIDTH - 562) / 2))
client_x=$((X + border))
client_y=$((Y + HEIGHT - 466 - border))
click_client() {
  xdotool mousemove "$((client_x + $1))" "$((client_y + $2))" click 1
}

# Poll until a command succeeds, for at most about five seconds.
wait_for() {
  for _ in $(seq 50); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
focus_on_dialog() { [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "Add IP/Host" ]; }
dialog_open() { xdotool search --onlyvisible --name '^Add IP/Host$' >/dev/null 2>&1; }
dialog_gone() { ! dialog_open; }

# "Internet" is the first line of the tree; a click on it offers "Add node by
# IP/Hostname" on the action button, which lies at the window's bottom left.
click_client 40 8
click_client 122 430
wait_for dialog_open || fail "the action button opened no Add IP/Host dialog"
wait_for focus_on_dialog || fail "the Add IP/Host dialog did not get the keyboard"
xdotool type --delay 15 "added-by-hand"
import -window root "$shots/first-run-add-host.png" || fail "no screenshot"
xdotool key Return
wait_for dialog_gone || fail "Enter did not close the Add IP/Host dialog"
echo "host typed into the Add IP/Host dialog"
# Open "Internet" by its expand button to show the new host beside this one.
click_client 12 8
import -window root "$shots/first-run-host-added.png" || fail "no screenshot"

# Close as a user would (WM_CLOSE): the program writes ips.txt back.
wine taskkill /im NetworkView.exe >/dev/null 2>&1
for _ in $(seq 100); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "the program did not end after WM_CLOSE"
expected="$(printf '%s\r\nadded-by-hand\r\n' "$computer")"
[ "$(cat "$dir/ips.txt")" = "$expected" ] ||
  fail "ips.txt after close: '$(od -c "$dir/ips.txt")'"
echo "ips.txt written back: $computer, added-by-hand"
