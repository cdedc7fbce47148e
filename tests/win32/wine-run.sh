#!/bin/bash
# Runs a Windows program under Wine (ctest's emulator for the Windows build):
# the build folder's Wine prefix, and a virtual display when there is none.
set -u
. "$(dirname "$0")/wine-env.sh"

exe="$1"
shift
wine_env_setup "$(wine_env_build_dir "$exe")"
wine "$exe" "$@"
