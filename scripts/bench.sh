#!/usr/bin/env bash
# Builds the benchmarks (Release, QMS_BENCH=ON) in BUILD_DIR (default:
# build-bench) and runs them, first on files on disk (BENCH_DIR, default the
# system's temporary folder), then on tmpfs (/dev/shm) when there is one.
# Prints the machine the figures were measured on. Last, the start-up time of
# the window (scripts/bench-startup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test time libsox-fmt-mp3 # GNU time measures the peak memory; sox reads MP3

build=${BUILD_DIR:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQMS_WERROR=ON -DQMS_BENCH=ON \
    -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target qmsbench -- --no-print-directory >/dev/null

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | xargs)," \
    "$(free -g | awk '/^Mem:/ {print $2}') GiB RAM, $(. /etc/os-release && echo "$PRETTY_NAME")"

folders=("${BENCH_DIR:-${TMPDIR:-/tmp}}")
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    folders+=(/dev/shm)
fi
for folder in "${folders[@]}"; do
    echo
    echo "== $folder: $(findmnt -no FSTYPE -T "$folder") on $(findmnt -no SOURCE -T "$folder")"
    "$build/bench/qmsbench" "$folder"
done

echo
echo "== Start-up under Xvfb"
BUILD_DIR=$build scripts/bench-startup.sh
