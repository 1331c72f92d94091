#!/usr/bin/env bash
# Installs what building needs when anything is missing, builds the window and
# the plugins it loads (not qmstool, the tests, benchmarks or fuzzers) in a
# folder of its own, BUILD_DIR (default: build-run), and starts the window
# with the arguments given. Says nothing when there is nothing to build; the
# output of a build that fails is shown.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run

build=${BUILD_DIR:-build-run}
mkdir -p "$build"
log=$build/run.log
quietly() {
    "$@" >"$log" 2>&1 || {
        cat "$log" >&2
        echo "run.sh: failed: $*" >&2
        exit 1
    }
}
if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "Configuring a build of the window in $build/"
    quietly cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMS_WERROR=ON \
        -DBUILD_TESTING=OFF
fi
program=$build/app/QuelmarR4FileGen
before=$(stat -c %Y "$program" 2>/dev/null || true)
# The window's target depends on its plugins.
quietly cmake --build "$build" -j"$(nproc)" --target QuelmarR4FileGen
if [ "$(stat -c %Y "$program")" != "$before" ]; then
    echo "Built the window in $build/"
fi
exec "$program" "$@"
