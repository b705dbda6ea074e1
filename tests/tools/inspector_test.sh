#!/usr/bin/env bash
# The storage inspector on images it makes itself: put, ls, cat, rm and check
# agree with what went in; check never writes and refuses a damaged table.
# Which file a name finds, a replacement's place and the files a deletion
# moves are the storage's own tests' (the import and model tests).
tool=$1
. "$(dirname "$0")/scratch.sh"

# resource FILE NAME DATA-BYTES: a storage file with a header and the data.
resource() {
  printf '\002%s\000\000Test\0001.00\000\000\003' "$2" >"$1"
  head -c "$3" /dev/urandom >"$tmp/$2.data"
  cat "$tmp/$2.data" >>"$1"
}
resource "$tmp/Small.rsc" Small 100
resource "$tmp/Large.rsc" Large 9000    # 9,020 bytes with the header: 3 blocks

"$tool" "$image" ls >/dev/null 2>&1 && fail "ls on a missing image"
"$tool" "$image" put "$tmp/Small.rsc" || fail "put Small"
"$tool" "$image" put "$tmp/Large.rsc" || fail "put Large"
[ "$(stat -c %s "$image")" = 134217728 ] || fail "image size"
listing=$("$tool" "$image" ls)
read -r index name type version size blocks < <(grep ' Large ' <<<"$listing")
[ "$index $type $version $size $blocks" = "1 Test 1.00 9020 3" ] || fail "ls: $listing"
read -r index name type version size blocks < <(grep ' Small ' <<<"$listing")
[ "$index $size $blocks" = "0 120 1" ] || fail "ls: $listing"
"$tool" "$image" cat Large | cmp -s - "$tmp/Large.data" || fail "cat Large"
"$tool" "$image" info | grep -q '^freeBlocks *32760$' || fail "info: $("$tool" "$image" info)"

# Putting a file again replaces it: one file of that name, now at the end.
resource "$tmp/Small.rsc" Small 5000
"$tool" "$image" put "$tmp/Small.rsc" || fail "put Small again"
"$tool" "$image" cat Small | cmp -s - "$tmp/Small.data" || fail "cat Small after replacing"

before=$(sha1sum <"$image")
"$tool" "$image" check | grep -q '^storage ok$' || fail "check"
"$tool" "$image" ls >/dev/null; "$tool" "$image" info >/dev/null; "$tool" "$image" cat Large >/dev/null
[ "$(sha1sum <"$image")" = "$before" ] || fail "a reading command changed the image"

"$tool" "$image" rm Large || fail "rm"
"$tool" "$image" ls | grep -q ' Large ' && fail "Large still listed"
"$tool" "$image" check >/dev/null || fail "check after rm"
"$tool" "$image" rm Large 2>/dev/null && fail "rm of a missing file"

# Damage the first entry of both table copies: check must say so.
cp "$image" "$tmp/damaged"
for offset in 8192 12288; do
  printf '\000\000\000\000\000\000\000\000' | dd of="$tmp/damaged" bs=1 seek=$offset conv=notrunc status=none
done
out=$("$tool" "$tmp/damaged" check); status=$?
[ "$status" = 1 ] || fail "check of a damaged table gave status $status"
grep -q '^storage broken: ' <<<"$out" || fail "no message for the damaged table: $out"

# A cut-off copy: the size is named.
head -c 100000 "$image" >"$tmp/short"
out=$("$tool" "$tmp/short" check); status=$?
[ "$status" = 1 ] && grep -q 'the file has 100000 bytes' <<<"$out" || fail "short file: $status $out"

"$tool" "$image" frobnicate >/dev/null 2>&1; [ $? = 2 ] || fail "unknown command"
"$tool" "$image" cat >/dev/null 2>&1; [ $? = 2 ] || fail "cat without a name"
echo "inspector test passed"
