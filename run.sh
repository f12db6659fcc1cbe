#!/usr/bin/env bash
# The README's run command: installs what is missing, builds, starts the program.
exec bash "$(dirname "$0")/scripts/bare-make.sh" run
