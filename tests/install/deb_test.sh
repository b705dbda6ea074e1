#!/usr/bin/env bash
# The .deb made by CPack: named by the project version, its files those of
# the install under /usr (the udev rule among them, made from the same file
# as the install's, whose lines the install test checks), its dependencies
# named from the linked libraries (SDL2 and hidapi among them), its
# maintainer scripts reloading the udev rules when installed and removed,
# and lintian reports no error (its warnings are printed).
set -uo pipefail
build=$1; version=$2
here=$(dirname "$0")
. "$here/layout.sh"
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack"
deb="$build/packages/trelvan-assistant_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"
diff <(expected_layout "$build" | sed 's|^|usr/|') \
     <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^[^.]*\.\//, ""); print}' | LC_ALL=C sort) ||
  fail "the package's files differ from the expected layout (< expected, > packaged)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2 libhidapi-hidraw libstdc++6 libc6; do
  grep -q "$lib" <<<"$depends" || fail "Depends names no $lib: $depends"
done
control=$(mktemp -d)
trap 'rm -rf "$control"' EXIT
dpkg-deb -e "$deb" "$control" || fail "dpkg-deb -e"
for script in postinst postrm; do
  [ -x "$control/$script" ] || fail "no executable $script"
  sh -n "$control/$script" || fail "$script is no shell script"
  grep -q 'udevadm control --reload-rules' "$control/$script" || fail "$script does not reload the udev rules"
done
report=$(lintian "$deb" 2>/dev/null)
grep '^W:' <<<"$report"
! grep '^E:' <<<"$report" || fail "lintian reports errors"
echo "deb test passed"
