#!/bin/bash
# Builds and runs the benchmark (not a test): the portable core's fills on the
# scripted network natively, then the program in its real window under Wine
# beside the bare tree view and the bare NetServerGetInfo call, and the time
# from process start to the tree shown; then the Users and group members
# fills of 1,000 accounts on a slow link, natively and under Wine, and of the
# Samba contract server's 200 accounts through its relay (as root, where
# libnetapi is installed). An argument runs one size only (the default is
# 1,000, 10,000 and 100,000 entries); "slow links" as the second runs those
# alone.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs="$(nproc)"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), load $(cut -d' ' -f1-3 /proc/loadavg)"

cmake --preset bench >/dev/null
cmake --build --preset bench -j "$jobs" >/dev/null
echo
echo "== Natively, on the scripted network"
build/bench/bench/native_bench "$@"

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target wine_bench core_bench NetworkView >/dev/null
echo
echo "== Under Wine, the same fills without a window (the Windows build)"
tests/win32/wine-run.sh build/windows/core_bench.exe "$@"
echo
echo "== Under Wine, in the real window"
tests/win32/wine-run.sh build/windows/wine_bench.exe "$@"

# Accounts on a slow link, under Wine on the scripted netapi32.dll (natively
# they come with native_bench above).
if [ $# -eq 0 ] || [ "${2:-}" = "slow links" ]; then
    cmake --build --preset windows -j "$jobs" --target slow_links_bench >/dev/null
    tests/scripted/with-scripted-netapi.sh build/windows/scripted/slow_links_bench.exe
fi

# The same fills against the contract tests' Samba server holding 200 more
# accounts, through its relay at 0 and 5 ms per exchange. The fixture needs
# root for its namespaces, and the benchmark libnetapi.
if [ $# -eq 0 ] || [ "${2:-}" = "slow links" ]; then
    if [ "$(id -u)" = 0 ] && pkg-config --exists netapi 2>/dev/null; then
        cmake --build --preset bench -j "$jobs" --target samba_bench >/dev/null
        echo
        echo "== Against the Samba contract server, through its relay"
        NV_SMB_ACCOUNTS=200 NV_SMB_RELAY_MS="0 5" tests/contract/smb-fixture.sh \
            build/bench/smb-fixture build/bench/bench/samba_bench 2> >(grep -v '^tdbsam_' >&2)
    else
        echo "(the Samba figure needs root and libnetapi: not run)"
    fi
fi
