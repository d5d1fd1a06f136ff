#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, then runs CTest.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
