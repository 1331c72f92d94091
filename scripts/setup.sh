#!/usr/bin/env bash
# Installs the Debian 12 packages a task needs, when any is missing. The
# first argument may name a profile: "run", what building the programs needs
# (scripts/run.sh); "test", that and the tools the tests, the fuzzers and the
# checks of the installed files use (the default). Further arguments are
# more packages (scripts/bench.sh asks for what only the benchmarks need).
# Quiet when everything is already there. Run as root.
set -euo pipefail

build_packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-multimedia-dev
    libsndfile1-dev libsoxr-dev libavformat-dev libavcodec-dev libavutil-dev libebur128-dev
)
test_packages=(
    clang libclang-rt-14-dev
    sox ffmpeg
    dosfstools fusefat exfatprogs exfat-fuse
    appstream desktop-file-utils libxml2-utils shared-mime-info groff-base dpkg-dev
)

profile=test
case ${1:-} in
run | test)
    profile=$1
    shift
    ;;
esac
packages=("${build_packages[@]}")
if [ "$profile" = test ]; then
    packages+=("${test_packages[@]}")
fi
packages+=("$@")

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
