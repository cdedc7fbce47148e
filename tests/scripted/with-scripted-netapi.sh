#!/bin/bash
# Runs a Windows program under Wine as wine-run.sh does, with the scripted
# netapi32.dll (and mpr.dll) that lies beside it loaded in place of Wine's
# own, for it and every program it starts.
#
# with-scripted-netapi.sh PROGRAM.exe [ARGUMENTS...]
set -u
. "$(dirname "$0")/../win32/wine-env.sh"

exe="$1"
shift
[ -f "$(dirname "$exe")/netapi32.dll" ] || { echo "no netapi32.dll beside $exe" >&2; exit 1; }
wine_env_setup "$(wine_env_build_dir "$exe")"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;netapi32=n"
# The scripted mpr.dll where one lies beside the program; Wine's own elsewhere.
[ -f "$(dirname "$exe")/mpr.dll" ] && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n,b"
wine "$exe" "$@"
