# Sourced by the inspector tests: a scratch folder removed at the end, the
# image the test makes in it, and a failure that says what failed.
set -uo pipefail
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
image="$tmp/storage"
