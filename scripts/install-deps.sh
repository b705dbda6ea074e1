#!/usr/bin/env bash
# Installs the Debian packages a build needs, only those that are missing.
#   install-deps.sh run    what building and running the program needs
#   install-deps.sh test   everything: all three builds and every test layer
set -euo pipefail
run_packages=(cmake ninja-build g++ pkg-config libsdl2-dev libx11-dev libpng-dev libfreetype-dev
              fonts-dejavu-core libhidapi-dev libstb-dev python3)
test_packages=("${run_packages[@]}" libgtest-dev libgmock-dev libbenchmark-dev clang
               libclang-rt-14-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 xvfb xdotool
               x11-utils x11-xserver-utils imagemagick sox file nsis p7zip-full desktop-file-utils appstream
               lintian dpkg-dev)
case "${1:-test}" in
  run) wanted=("${run_packages[@]}") ;;
  *) wanted=("${test_packages[@]}") ;;
esac
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
