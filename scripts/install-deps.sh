#!/bin/sh
# Installs the Debian packages the build and the three test tiers need, only
# when one is missing (idempotent, non-interactive).
set -eu

PACKAGES="
  cmake ninja-build g++ make
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-dev clang-format
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  xvfb xauth xdotool x11-utils x11-apps imagemagick
  nsis zip unzip
  pulseaudio pulseaudio-utils
  libx11-dev strace
"

missing=""
for package in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq $missing
