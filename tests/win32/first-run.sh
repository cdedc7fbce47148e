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

# A Linux program that drives or photographs the display, which must succeed.
x() {
  "$@" || fail "\`$*\` exited with status $?"
}

# Polls until a command succeeds, for at most about the given seconds.
wait_for() {
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

(cd "$dir" && wine NetworkView.exe) &
program=$!

window=""
main_window_shown() {
  window="$(xdotool search --onlyvisible --name '^Network View' 2>/dev/null | head -n 1)"
  [ -n "$window" ]
}
wait_for 15 main_window_shown || fail "no window titled Network View appeared"

title="$(x xdotool getwindowname "$window")" || exit 1
[ "$title" = "Network View $version" ] || fail "caption is '$title', expected 'Network View $version'"
echo "caption: $title"

# Where the window's client area lies on the screen: the X window holds the
# frame Wine draws, of equal width left, right and below, and the caption.
geometry="$(x xdotool getwindowgeometry --shell "$window")" || exit 1
eval "$geometry"
border=$(((WIDTH - 562) / 2))
client_x=$((X + border))
client_y=$((Y + HEIGHT - 466 - border))
click_client() {
  x xdotool mousemove "$((client_x + $1))" "$((client_y + $2))" click 1
}
# The colour of a point of the client area, as "#RRGGBB".
client_pixel() {
  x import -window root -crop "1x1+$((client_x + $1))+$((client_y + $2))" -depth 8 txt:- |
    grep -o '#[0-9A-F]\{6\}' | head -n 1
}
# A checksum of what a rectangle of the screen shows: X Y WIDTH HEIGHT.
screen_sum() {
  x import -window root -crop "${3}x${4}+$1+$2" -depth 8 rgb:- | md5sum
}
# Waits until the rectangle shows something other than it showed before
# (the checksum in $before) and has stopped changing.
changed_and_settled() {
  local now
  now="$(screen_sum "$@")"
  [ "$now" != "$before" ] && [ "$now" = "${last:-}" ] && return 0
  last="$now"
  return 1
}
shot() {
  x import -window root "$shots/$1.png"
  echo "screenshot: $shots/$1.png"
}

# The tree is built 300 ms after start; the domains cannot be listed, so a
# second later the status bar flashes red (well clear of its text and grip).
bar_is_red() { [ "$(client_pixel 500 456)" = "#FF0000" ]; }
wait_for 5 bar_is_red || fail "the status bar did not flash red"
mkdir -p "$shots"
shot first-run

focus_on_dialog() { [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "Add IP/Host" ]; }
dialog_open() { xdotool search --onlyvisible --name '^Add IP/Host$' >/dev/null 2>&1; }
dialog_gone() { ! dialog_open; }

# "Internet" is the first line of the tree; a click on it offers "Add node by
# IP/Hostname" on the action button, which lies at the window's bottom left.
click_client 40 8
click_client 122 430
wait_for 5 dialog_open || fail "the action button opened no Add IP/Host dialog"
wait_for 5 focus_on_dialog || fail "the Add IP/Host dialog did not get the keyboard"
dialog="$(xdotool search --onlyvisible --name '^Add IP/Host$' | head -n 1)"
geometry="$(x xdotool getwindowgeometry --shell "$dialog")" || exit 1
eval "$geometry"
before="$(screen_sum "$X" "$Y" "$WIDTH" "$HEIGHT")" last=""
x xdotool type --delay 15 "added-by-hand"
wait_for 5 changed_and_settled "$X" "$Y" "$WIDTH" "$HEIGHT" || fail "the typed host did not show"
shot first-run-add-host
x xdotool key Return
wait_for 5 dialog_gone || fail "Enter did not close the Add IP/Host dialog"
echo "host typed into the Add IP/Host dialog"
# Open "Internet" by its expand button to show the new host beside this one.
before="$(screen_sum "$client_x" "$client_y" 200 60)" last=""
click_client 12 8
wait_for 5 changed_and_settled "$client_x" "$client_y" 200 60 || fail "Internet did not open"
shot first-run-host-added

# Close as a user would (WM_CLOSE): the program writes ips.txt back.
wine taskkill /im NetworkView.exe >/dev/null 2>&1
program_ended() { ! kill -0 "$program" 2>/dev/null; }
wait_for 10 program_ended || fail "the program did not end after WM_CLOSE"
expected="$(printf '%s\r\nadded-by-hand\r\n' "$computer")"
[ "$(cat "$dir/ips.txt")" = "$expected" ] ||
  fail "ips.txt after close: '$(od -c "$dir/ips.txt")'"
echo "ips.txt written back: $computer, added-by-hand"
