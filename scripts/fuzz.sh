#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for SECONDS (default 60),
# starting from the seeds in fuzz/corpus/. Findings land in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${BUILD_DIR:-build-fuzz}

scripts/setup.sh test
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMS_WERROR=ON \
    -DBUILD_TESTING=OFF -DQMS_FUZZ=ON -DCMAKE_CXX_FLAGS="$flags" >/dev/null

targets=$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
cmake --build "$build" -j"$(nproc)" --target $targets -- --no-print-directory

mkdir -p "$build/findings"
for target in $targets; do
    seeds="fuzz/corpus/${target#fuzz_}"
    work="$build/corpus/${target#fuzz_}"
    mkdir -p "$work"
    echo "Fuzzing $target for $seconds s"
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/findings/$target-" -print_final_stats=1 \
        "$work" "$seeds" 2>&1 | tail -n 4
done
