# Sourced by the install tests. expected_layout BUILD: the files an install
# holds, relative to its prefix, sorted: the program, one page file per
# layout, the desktop entry, the icons, the AppStream metadata, the udev
# rule and the Debian documents.
expected_layout() {
  local build=$1 size layout name
  {
    echo bin/trelvan-assistant
    echo share/applications/org.varnholt.TrelvanAssistant.desktop
    echo share/metainfo/org.varnholt.TrelvanAssistant.metainfo.xml
    echo lib/udev/rules.d/70-trelvan-assistant.rules
    echo share/doc/trelvan-assistant/guide/index.html
    grep -o 'tests/golden/[a-z_]*[.]png' "$(dirname "${BASH_SOURCE[0]}")/../../README.md" |
      sed 's|^tests/golden/|share/doc/trelvan-assistant/guide/pictures/|' | LC_ALL=C sort -u
    echo share/doc/trelvan-assistant/copyright
    echo share/doc/trelvan-assistant/changelog.gz
    echo share/man/man1/trelvan-assistant.1.gz
    for size in 16 24 32 48 64 128 256; do
      echo "share/icons/hicolor/${size}x${size}/apps/org.varnholt.TrelvanAssistant.png"
    done
    # The stored name is on each layout's first page or collection line.
    for layout in "$(dirname "${BASH_SOURCE[0]}")"/../../resources/*.layout; do
      name=$(sed -n 's/^\(page\|collection\) "\([^"]*\)".*/\2/p' "$layout" | head -n 1)
      echo "share/trelvan-assistant/$name.rsc"
    done
  } | LC_ALL=C sort
}

# check_udev_rule RULES: the rule gives the user at the seat the handheld's
# HID device (hidraw and USB) and the usual FTDI converters (USB and serial
# port), early enough for the seat to take the tag; exits 1 on the first
# missing one.
check_udev_rule() {
  local rules=$1 line
  [[ $(basename "$rules") =~ ^([0-9]+)- ]] && ((10#${BASH_REMATCH[1]} < 73)) ||
    { echo "FAIL: $rules sorts after 73-seat-late.rules"; return 1; }
  for line in 'SUBSYSTEM=="hidraw", ATTRS{idVendor}=="04d8", ATTRS{idProduct}=="f320", TAG+="uaccess"' \
              'SUBSYSTEM=="usb", ENV{DEVTYPE}=="usb_device", ATTR{idVendor}=="04d8", ATTR{idProduct}=="f320", TAG+="uaccess"' \
              'SUBSYSTEM=="usb", ENV{DEVTYPE}=="usb_device", ATTR{idVendor}=="0403", ATTR{idProduct}=="6001|6010|6011|6014|6015", TAG+="uaccess"' \
              'SUBSYSTEM=="tty", ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001|6010|6011|6014|6015", TAG+="uaccess"'; do
    grep -qxF "$line" "$rules" || { echo "FAIL: $rules lacks: $line"; return 1; }
  done
  # every rule line is one the checks above know, so none grants more
  [ "$(grep -cv '^\(#.*\)\?$' "$rules")" = 4 ] || { echo "FAIL: $rules holds other rules"; return 1; }
}

# check_guide FOLDER: the guide's page names at least the README's pictures,
# each of them there beside it, and nothing of the source tree.
check_guide() {
  local folder=$1 picture shown=0
  [ -s "$folder/index.html" ] || { echo "FAIL: no guide in $folder"; return 1; }
  for picture in $(grep -o '<img src="[^"]*"' "$folder/index.html" | sed 's/<img src="//; s/"$//'); do
    [ -s "$folder/$picture" ] || { echo "FAIL: the guide shows $picture, which is not beside it"; return 1; }
    shown=$((shown + 1))
  done
  [ "$shown" -ge "$(grep -o 'tests/golden/[a-z_]*[.]png' "$(dirname "${BASH_SOURCE[0]}")/../../README.md" | wc -l)" ] ||
    { echo "FAIL: the guide shows only $shown pictures"; return 1; }
  ! grep -q 'tests/golden\|docs/developing.md"' "$folder/index.html" ||
    { echo "FAIL: the guide points into the source tree"; return 1; }
}
