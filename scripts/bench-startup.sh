#!/usr/bin/env bash
# Start-up time of the window: from process start to the first map of its
# top-level window, under Xvfb with no window manager, against two baselines:
# the same form and images shown by a program that does nothing else
# (startup_formonly) and an empty QMainWindow (startup_bare). RUNS (default
# 51) alternating runs of each; prints the medians and the ratios. Builds in
# BUILD_DIR (default: build-bench; Release, QMS_BENCH=ON). Called by
# scripts/bench.sh; runs on its own as well.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run xvfb libxcb1-dev # an X server, and the X client library of the timer

build=${BUILD_DIR:-build-bench}
runs=${RUNS:-51}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQMS_WERROR=ON -DQMS_BENCH=ON \
    -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target QuelmarR4FileGen startup_formonly startup_bare \
    startuptimer -- --no-print-directory >/dev/null

work=$(mktemp -d)
xvfb=
cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb takes a free display and writes its number to descriptor 3 once it
# accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "bench-startup.sh: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
display=:$(cat "$work/display")

# The programs see only this environment: their settings, caches and runtime
# files in the temporary folder, no session bus, no desktop.
mkdir -p "$work/home" "$work/config"
mkdir -m 700 "$work/runtime"
echo "Qt $(dpkg-query -W -f='${Version}' libqt6widgets6), Xvfb $(dpkg-query -W -f='${Version}' xvfb)" \
    "on display $display, no window manager"
env -i PATH="$PATH" HOME="$work/home" LANG=C.UTF-8 DISPLAY="$display" QT_QPA_PLATFORM=xcb \
    XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    "$build/bench/startup/startuptimer" "$runs" \
    "window=$build/app/QuelmarR4FileGen" \
    "form only=$build/bench/startup/startup_formonly" \
    "bare QMainWindow=$build/bench/startup/startup_bare"
