#!/bin/bash
# The Wine suite's display-scale tests on a display of 144 DPI (150 percent):
# the build folder's prefix has its LogPixels set to 144 for this one run,
# which Wine reads as each program starts, and given back as it was however
# the run ends. A second prefix would cost far more than the one setting.
#
# display-scale.sh PATH_TO_win32_tests.exe
set -u
. "$(dirname "$0")/wine-env.sh"

exe="$1"
wine_env_setup "$(wine_env_build_dir "$exe")"

key='HKCU\Control Panel\Desktop'
before="$(wine reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' |
  awk '$1 == "LogPixels" { print $3 }')"
restore() {
  if [ -n "$before" ]; then
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$((before))" /f >/dev/null 2>&1
  else
    wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1
  fi
  wine_env_cleanup
}
trap restore EXIT

wine reg add "$key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null || exit 1
NV_EXPECT_DPI=144 wine "$exe" --gtest_filter='DisplayScaleTest.At144Dpi*'
