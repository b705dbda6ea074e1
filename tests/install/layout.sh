# Sourced by the install tests. expected_layout BUILD: the files an install
# holds, relative to its prefix, sorted: the program, one page file per
# layout, the desktop entry, the icons, the AppStream metadata and the
# Debian documents.
expected_layout() {
  local build=$1 size layout name
  {
    echo bin/trelvan-assistant
    echo share/applications/org.varnholt.TrelvanAssistant.desktop
    echo share/metainfo/org.varnholt.TrelvanAssistant.metainfo.xml
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
