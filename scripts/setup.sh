#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need, when any is
# missing, and any further packages named as arguments (scripts/bench.sh asks
# for what only the benchmarks need). Quiet when everything is already there.
# Run as root.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-multimedia-dev
    libsndfile1-dev libsoxr-dev libavformat-dev libavcodec-dev libavutil-dev
    clang libclang-rt-14-dev
    sox ffmpeg
    dosfstools fusefat exfatprogs exfat-fuse
    appstream desktop-file-utils libxml2-utils shared-mime-info groff-base dpkg-dev
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi
