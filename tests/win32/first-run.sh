#!/bin/bash
# The first run as a newcomer sees it: NetworkView.exe in a folder of its own
# with an ips.txt naming this computer. Checks the caption, keeps a screenshot
# of the window in the given folder, closes the program as a user would and
# checks that it wrote its host list back.
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

# Close as a user would (WM_CLOSE): the program writes ips.txt back.
wine taskkill /im NetworkView.exe >/dev/null 2>&1
for _ in $(seq 100); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "the program did not end after WM_CLOSE"
[ "$(cat "$dir/ips.txt")" = "$(printf '%s\r\n' "$computer")" ] ||
  fail "ips.txt after close: '$(od -c "$dir/ips.txt")'"
echo "ips.txt written back: $computer"
