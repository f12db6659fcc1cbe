#!/usr/bin/env bash
# Runs make with the given targets on a machine that may not have make yet (a bare Debian 12,
# as root): make comes first, and its targets install everything else they need.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v make >/dev/null 2>&1; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "make is missing; run this as root or install it: apt-get install make" >&2
        exit 1
    fi
    echo "Installing: make"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends make
fi
exec make "$@"
