#!/usr/bin/env bash
# One command for a fresh Debian 12 machine: installs the packages, builds,
# and runs the demo upgrade against the simulated set-top box.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
exec build/stbupgrade demo
