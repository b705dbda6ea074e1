#!/usr/bin/env bash
# The inspector's media commands on an image they make: add-picture and
# add-sound store exactly what the golden conversions say, export gives the
# picture, the sounds and a light effect back, refusals print the page's
# message and store nothing, and nothing changes while the program holds
# the folder's lock.
tool=$1
golden=$2
. "$(dirname "$0")/scratch.sh"

"$tool" "$image" add-picture "$golden/picture/bottom_up.bmp" | grep -q '^stored bottom_up~' || fail "add-picture"
"$tool" "$image" add-picture "$golden/picture_layouts/jpeg_wide.jpg" |
  grep -qF 'stored jpeg_wide~ (43204 bytes of picture): 1200 x 300 JPEG, scaled and cut at the sides' ||
  fail "add-picture of a JPEG fitted"
"$tool" "$image" cat bottom_up~ | cmp -s - "$golden/picture/bottom_up.out" || fail "stored picture"
"$tool" "$image" export bottom_up~ "$tmp/p.png" >/dev/null || fail "export picture"
# the first 2 x 2 blocks were white, red, blue and half red
for check in "0,0 255,255,255" "1,0 255,0,0" "2,0 0,0,255" "3,0 123,0,0"; do
  set -- $check
  got=$(convert "$tmp/p.png" -format "%[fx:int(255*p{$1}.r)],%[fx:int(255*p{$1}.g)],%[fx:int(255*p{$1}.b)]" info:)
  [ "$got" = "$2" ] || fail "pixel $1: $got"
done
[ "$(identify -format %wx%h "$tmp/p.png")" = 240x90 ] || fail "png size"

"$tool" "$image" add-sound Whistle "$golden/sound/one_second.wav" >/dev/null || fail "add-sound"
"$tool" "$image" cat Whistle~ | cmp -s - "$golden/sound/one_second.out" || fail "stored sound"
"$tool" "$image" export Whistle~ "$tmp/w.wav" >/dev/null || fail "export sound"
[ "$(stat -c %s "$tmp/w.wav")" = $((44 + 2 * 22050)) ] || fail "exported sound size"
"$tool" "$image" add-sound Horn "$golden"/sound/start_loop_stop_{0,1,2}.wav >/dev/null || fail "add-sound 3"
"$tool" "$image" cat Horn~ | cmp -s - "$golden/sound/start_loop_stop.out" || fail "stored 3 segments"
"$tool" "$image" export Horn~ "$tmp/h.wav" >/dev/null || fail "export 3 segments"
for part in start loop stop; do [ -s "$tmp/h_$part.wav" ] || fail "h_$part.wav"; done

# a light effect put as a resource file comes back as CSV
{ printf '\002Beacon\000\000Light Effect\0002.00\000\000\003'; cat "$golden/light_effect/increase_4.out"; } >"$tmp/Beacon.rsc"
"$tool" "$image" put "$tmp/Beacon.rsc" || fail "put light effect"
"$tool" "$image" export Beacon "$tmp/b.csv" >/dev/null || fail "export light effect"
[ "$(sed -n 2,5p "$tmp/b.csv" | tr '\n' ' ')" = "0,start,0 1,start,71 2,start,91 3,start,97 " ] || fail "csv"

# refusals: the message, status 1, nothing stored
before=$(sha1sum <"$image")
refuse() {  # MESSAGE COMMAND...
  local message=$1; shift
  out=$("$tool" "$image" "$@" 2>&1) && fail "$* succeeded"
  grep -qF "$message" <<<"$out" || fail "$*: $out"
  [ "$(sha1sum <"$image")" = "$before" ] || fail "$* changed the image"
}
refuse "This file: a damaged or cut short BMP; a whole BMP, PNG or JPEG is taken." add-picture "$golden/picture/cut_short.bmp"
refuse "Name already in use" add-picture "$golden/picture/bottom_up.bmp"
refuse "This file: ADPCM; PCM or float WAVs are taken." add-sound Packed "$golden/sound/adpcm.wav"
refuse "Error - File Name Already Used!" add-sound Horn "$golden/sound/edges.wav"
refuse "Error Opening File!" add-sound Gone "$tmp/none.wav"

# while the program runs on the folder its lock is held: nothing changes.
# The lock is an abstract unix socket named after the lock and a 64-bit
# FNV-1a hash of the folder's real path; this holds it for three seconds.
python3 - "$tmp" <<'PY' &
import os, socket, sys, time
h = 0xcbf29ce484222325
for c in os.path.realpath(sys.argv[1]).encode():
    h = ((h ^ c) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
s.bind("\0TrelvanAssistantGlobalMutex-%016x" % h)
open(sys.argv[1] + "/held", "w").close()
time.sleep(3)
PY
for _ in $(seq 100); do [ -e "$tmp/held" ] && break; sleep 0.1; done
[ -e "$tmp/held" ] || fail "the lock was not taken"
refuse "close it first" add-picture "$golden/picture/top_down_v5_header.bmp"
wait
"$tool" "$image" add-picture "$golden/picture/top_down_v5_header.bmp" >/dev/null || fail "after the lock"
echo "media inspector ok"
