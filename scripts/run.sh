#!/usr/bin/env bash
# Installs what is missing, builds the Linux program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target trelvan-assistant
# Page files and picture collections: start-up imports the .rsc files it
# finds in the data folder.
cmake --build build --target resources
data_dir="${TRELVAN_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/Trelvan Assistant}"
mkdir -p "$data_dir"
cp build/resources/*.rsc "$data_dir/"
exec ./build/src/platform/linux/trelvan-assistant
