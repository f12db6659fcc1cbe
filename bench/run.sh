#!/usr/bin/env bash
# Runs every benchmark of a build folder, one after the other (make bench), and prints each
# one's summary: the last line it writes. The whole output of each is kept in
# BUILD/bench-results/NAME.txt.
set -uo pipefail
build=${1:-build}
results="$build/bench-results"
mkdir -p "$results"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
failed=0
for bench in "$build"/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    name=$(basename "$bench")
    if "$bench" >"$results/$name.txt" 2>"$results/$name.err"; then
        printf '%-22s %s\n' "$name" "$(tail -n 1 "$results/$name.txt")"
    else
        printf '%-22s FAILED (see %s)\n' "$name" "$results/$name.err"
        failed=1
    fi
done
exit $failed
