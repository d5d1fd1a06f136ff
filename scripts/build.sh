#!/usr/bin/env bash
# Installs what is missing, configures and builds into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
cmake -S . -B build -DSTB_WERROR="$werror" >/dev/null
cmake --build build -j"$(nproc)"
