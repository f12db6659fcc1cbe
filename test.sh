#!/usr/bin/env bash
# The README's test command: installs what is missing, builds, runs every test.
exec bash "$(dirname "$0")/scripts/bare-make.sh" test
