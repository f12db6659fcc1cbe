#!/usr/bin/env bash
# clang-tidy (the checks in .clang-tidy) on every source file of src/ and tools/, through the
# compile database of a configured build folder (make lint). Fails when a check finds anything.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/compile_commands.json" ]; then
    echo "No $build/compile_commands.json: configure the build first (make build)." >&2
    exit 2
fi
run-clang-tidy -quiet -p "$build" -j "${JOBS:-2}" "^$(pwd)/(src|tools)/.*\.cpp$"
