#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/configure.sh
build=${BUILD_DIR:-build}
if [ -x "$build/app/QuelmarR4FileGen" ]; then
    exec "$build/app/QuelmarR4FileGen" "$@"
fi
echo "Built the core library and its tests in $build/."
