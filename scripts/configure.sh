#!/usr/bin/env bash
# Configures and builds the project in BUILD_DIR (default: build).
# QMS_SANITIZE=ON builds with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMS_WERROR=ON \
    -DQMS_SANITIZE="${QMS_SANITIZE:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)" -- --no-print-directory
