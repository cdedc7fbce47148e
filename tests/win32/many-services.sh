#!/bin/bash
# Runs the Wine suite's test of a machine with many services in a Wine prefix
# of its own, so that the other tests see the services Wine brings alone:
# 600 services more are written to that prefix's registry once, before its
# service control manager first starts with them.
#
# many-services.sh PATH_TO_win32_tests.exe
set -u
. "$(dirname "$0")/wine-env.sh"

exe="$1"
count=600
build_dir="$(wine_env_build_dir "$exe")"
export NV_WINEPREFIX="$build_dir/wineprefix-services"
wine_env_setup "$build_dir"

if [ ! -f "$WINEPREFIX/extra-services-$count" ]; then
  reg="$WINEPREFIX/extra-services.reg"
  {
    printf 'REGEDIT4\r\n\r\n'
    for i in $(seq -f '%03g' 0 $((count - 1))); do
      printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\NvExtraService%s]\r\n' "$i"
      printf '"DisplayName"="Network View extra service %s"\r\n' "$i"
      printf '"ImagePath"="C:\\\\windows\\\\system32\\\\nvextra%s.exe"\r\n' "$i"
      printf '"Type"=dword:00000010\r\n"Start"=dword:00000003\r\n"ErrorControl"=dword:00000001\r\n'
      printf '"ObjectName"="LocalSystem"\r\n\r\n'
    done
  } >"$reg"
  wine regedit /S "Z:${reg//\//\\}" || exit 1
  # The manager reads the services when it starts: let this one end.
  wineserver -w
  touch "$WINEPREFIX/extra-services-$count"
fi

NV_EXTRA_SERVICES=$count wine "$exe" --gtest_filter='ManyServices.*'
