#!/usr/bin/env bash
# Builds and saves pictures of the main window (empty, three layers with one
# selected, eight layers after a drag) into the folder given, /tmp/shots by
# default.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/configure.sh >/dev/null
build=${BUILD_DIR:-build}
QT_QPA_PLATFORM=offscreen QMS_SCREENSHOT_DIR="${1:-/tmp/shots}" \
    "$build/tests/tst_qmwindow_layers" screenshots >/dev/null
echo "Saved to ${1:-/tmp/shots}/: start.png three-layers.png eight-layers.png"
