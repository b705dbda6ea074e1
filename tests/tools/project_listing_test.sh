#!/usr/bin/env bash
# The inspector's project listing: the golden project stored as a resource
# file lists exactly as its .listing file says (rows in the editor's words,
# blocks indented, warnings for the picture, sound and light effect that the
# storage does not hold); a stored sound silences its warning; a damaged
# project, another type of file and a missing name give status 1.
tool=$1
golden=$2
. "$(dirname "$0")/scratch.sh"

cp "$golden/blocks_and_tasks.bin" "$tmp/Crossing~.rsc"
"$tool" "$image" put "$tmp/Crossing~.rsc" || fail "put"
"$tool" "$image" project 'Crossing~' >"$tmp/listing" || fail "project listing status"
diff -u "$golden/blocks_and_tasks.listing" "$tmp/listing" || fail "listing differs"

printf '\002Horn~\000\000Sound\0001.00\000\000\003abc' >"$tmp/Horn~.rsc"
"$tool" "$image" put "$tmp/Horn~.rsc" || fail "put sound"
"$tool" "$image" project 'Crossing~' | grep -q 'sound Horn~' && fail "warning for a stored sound"
"$tool" "$image" project 'Horn~' >/dev/null 2>&1 && fail "a sound listed as a project"
"$tool" "$image" project 'Missing~' >/dev/null 2>&1 && fail "a missing project listed"
cp "$golden/damaged_no_end.bin" "$tmp/Damaged~.rsc"
"$tool" "$image" put "$tmp/Damaged~.rsc" || fail "put damaged"
"$tool" "$image" project 'Damaged~' >/dev/null 2>&1 && fail "a damaged project listed"
echo "project listing ok"
