#!/usr/bin/env bash
# Builds and saves pictures of the main window (empty, three layers with one
# selected, a refusal box, eight layers after a drag, the close question) and
# of the Prepare and Match Loudness dialogs into the folder given, /tmp/shots by default: under the default (light)
# palette, under a dark one, and at twice the scale.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/configure.sh >/dev/null
build=${BUILD_DIR:-build}
folder=${1:-/tmp/shots}
shoot() { # PREFIX [VARIABLE=VALUE...]
    local prefix=$1
    shift
    env QT_QPA_PLATFORM=offscreen QMS_SCREENSHOT_DIR="$folder" QMS_SCREENSHOT_PREFIX="$prefix" \
        QT_PLUGIN_PATH="$build/app" "$@" "$build/tests/tst_qmwindow_layers" screenshots >/dev/null
    env QT_QPA_PLATFORM=offscreen QMS_SCREENSHOT_DIR="$folder" QMS_SCREENSHOT_PREFIX="$prefix" \
        QT_PLUGIN_PATH="$build/app" "$@" "$build/tests/tst_qmwindow_prepare" screenshots >/dev/null
}
shoot light-
shoot dark- QMS_SCREENSHOT_DARK=1
shoot 2x- QT_SCALE_FACTOR=2
echo "Saved to $folder/: {light,dark,2x}-{start,three-layers,refused,eight-layers,close-question,prepare,match-loudness}.png"
