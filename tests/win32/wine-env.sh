# Sourced by the scripts that run Windows programs under Wine.
#
# wine_env_setup BUILD_DIR: uses the Wine prefix of the build folder, or the
# one NV_WINEPREFIX names (made once, under a lock, so that parallel runs
# wait for it) and, without a working X display, starts Xvfb on a free
# display number. Whatever was started is stopped when the sourcing shell
# exits, however it exits.

wine_env_xvfb_pid=""

wine_env_cleanup() {
  if [ -n "$wine_env_xvfb_pid" ]; then
    wineserver -k >/dev/null 2>&1
    kill "$wine_env_xvfb_pid" >/dev/null 2>&1
    wait "$wine_env_xvfb_pid" 2>/dev/null
    wine_env_xvfb_pid=""
  fi
}

wine_env_setup() {
  local build_dir="$1"
  export WINEPREFIX="${NV_WINEPREFIX:-$build_dir/wineprefix}"
  export WINEDEBUG="${WINEDEBUG:--all}"
  # No Mono or Gecko installer prompts in a fresh prefix,
  # and a program that crashes ends instead of waiting in the debugger.
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
  trap wine_env_cleanup EXIT
  trap 'exit 130' INT TERM

  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    # Xvfb takes the first free display number itself and names it, so that
    # Wine programs started side by side each get a display of their own.
    local named
    named="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$named" >/dev/null 2>&1 &
    wine_env_xvfb_pid=$!
    local i
    for i in $(seq 200); do
      grep -q . "$named" && break
      sleep 0.05
    done
    export DISPLAY=":$(head -n 1 "$named")"
    rm -f "$named"
  fi

  # Every prefix of the build folder starts as a copy of one made once:
  # making a prefix (wineboot) costs a dozen seconds of processor time,
  # copying one about one.
  local made="$build_dir/wineprefix-made"
  mkdir -p "$build_dir" "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$made/system.reg" ]; then
      local making="$made.$$"
      rm -rf "$made" "$making"
      WINEPREFIX="$making" wineboot -i >/dev/null 2>&1
      # There is no window manager: windows that do not wait for one to
      # confirm their state close at once instead of after two seconds.
      WINEPREFIX="$making" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >/dev/null 2>&1
      WINEPREFIX="$making" wineserver -w
      mv "$making" "$made"
    fi
  ) 9>"$made.lock"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      rm -rf "$WINEPREFIX" "$WINEPREFIX.$$"
      cp -a "$made" "$WINEPREFIX.$$" && mv "$WINEPREFIX.$$" "$WINEPREFIX"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# The build folder of a program: the nearest folder above it with a CMakeCache.
wine_env_build_dir() {
  local dir
  dir="$(cd "$(dirname "$1")" && pwd)"
  while [ "$dir" != "/" ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir="$(dirname "$dir")"; done
  if [ -f "$dir/CMakeCache.txt" ]; then echo "$dir"; else cd "$(dirname "$1")" && pwd; fi
}
