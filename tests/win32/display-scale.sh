#!/bin/bash
# The Wine suite's display-scale test on a display of 144 DPI: the
# test's prefix gets LogPixels 144 for this one run (Wine reads it as each
# program starts; a second prefix would cost far more), and the value it had
# back however the run ends.
#
# display-scale.sh PATH_TO_win32_tests.exe
set -u
. "$(dirname "$0")/wine-env.sh"
wine_env_setup "$(wine_env_build_dir "$1")"

key='HKCU\Control Panel\Desktop'
before="$(wine reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }')"
restore() {
  if [ -n "$before" ]; then wine reg add "$key" /v LogPixels /t REG_DWORD /d "$((before))" /f
  else wine reg delete "$key" /v LogPixels /f; fi >/dev/null 2>&1
  wine_env_cleanup
}
trap restore EXIT
wine reg add "$key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null || exit 1
NV_EXPECT_DPI=144 wine "$1" --gtest_filter='DisplayScaleTest.At144Dpi*'
