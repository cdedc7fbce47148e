#!/bin/bash
# Installs what building and testing Network View needs on Debian: the native
# compiler and GoogleTest, clang with libFuzzer for the fuzz targets, the
# mingw-w64 cross compiler, Wine, a virtual X display and the tools that drive
# and photograph it; Samba's server, client, libnetapi and nss_wrapper for the
# SMB contract tests; the Samba domain controller, its ldb tools and
# OpenLDAP's client library for the directory contract tests. Runs apt-get as
# root (through sudo when not root), and only when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3
  libgtest-dev googletest
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  xvfb x11-utils xdotool imagemagick
  samba smbclient samba-dev pkg-config libnss-wrapper iproute2
  samba-ad-dc samba-ad-provision ldb-tools libldap-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
install() { $sudo apt-get install -y --no-install-recommends "${missing[@]}"; }
install || { $sudo apt-get update && install; }
