#!/usr/bin/env bash
# Runs each test program with its test functions in reverse order, to show
# that no test depends on one that ran before it. Not part of CTest (it would
# double the suite's time); run by hand after a build:
#
#   tests/reverse_order.sh [BUILD_DIR] [TEST...]   (default: build, every tst_*)
set -uo pipefail
build=$(realpath "${1:-build}")
shift || true
cd "$build/tests" || exit 1
tests=("$@")
((${#tests[@]})) || mapfile -t tests < <(find . -maxdepth 1 -name 'tst_*' -type f -executable -printf '%f\n' | sort)

export QT_QPA_PLATFORM=offscreen QTEST_FUNCTION_TIMEOUT=60000 QT_PLUGIN_PATH=$build/app
failed=0
for test in "${tests[@]}"; do
    mapfile -t functions < <(./"$test" -functions | sed 's/()$//' | tac)
    if ./"$test" "${functions[@]}" >"$test.reversed.log" 2>&1; then
        echo "PASS: $test (${#functions[@]} functions reversed)"
    else
        echo "FAIL: $test, see $build/tests/$test.reversed.log"
        failed=1
    fi
done
exit $failed
