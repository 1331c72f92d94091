#!/usr/bin/env bash
# Builds the Debian package and installs it on this machine: a Release build in
# BUILD_DIR (default: build-package) for /usr, cpack -G DEB, then
# apt-get install of the .deb (again when it is already installed). Then checks
# the installed programs and files and prints a summary. Run as root; it
# changes the system, so CI does not run it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run dpkg-dev

build=${BUILD_DIR:-build-package}
app_id=com.quelmar.QuelmarR4FileGen

echo "Building (Release, prefix /usr) in $build/"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DQMS_WERROR=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" -- --no-print-directory >/dev/null

echo "Packaging"
rm -rf "$build/deb"
# Quiet unless it fails: each step's output goes to a log shown on failure.
quietly() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 || {
        cat "$log" >&2
        echo "package.sh: failed: $*" >&2
        exit 1
    }
}
quietly "$build/cpack.log" cpack --config "$build/CPackConfig.cmake" -G DEB -B "$build/deb"
debs=("$build"/deb/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "package.sh: expected one .deb in $build/deb/, found: ${debs[*]}" >&2
    exit 1
fi
deb=$(realpath "${debs[0]}")
package=$(dpkg-deb -f "$deb" Package)
version=$(dpkg-deb -f "$deb" Version)

echo "Installing $(basename "$deb")"
# apt reads the file as its own user; a file it cannot read is only a notice.
chmod 644 "$deb"
quietly "$build/apt.log" env DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall "$deb"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The dependencies come from the libraries the programs and the plugins link
# (Qt Multimedia, libsndfile, libsoxr, libebur128 and FFmpeg's libraries
# through the plugins).
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libsndfile1 libsoxr0 \
    libebur128-1 libavformat59 libavcodec59 libavutil57; do
    [[ $depends =~ (^|, )$library\  ]] || fail "Depends does not name $library: $depends"
done

installed=$(dpkg-query -W -f='${Status} ${Version}' "$package" 2>/dev/null || true)
[ "$installed" = "install ok installed $version" ] ||
    fail "dpkg reports $package as \"$installed\", not version $version installed"

plugins=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/QuelmarR4FileGen
for program in /usr/bin/qmstool /usr/bin/QuelmarR4FileGen "$plugins"/libqms*.so; do
    missing=$(ldd "$program" 2>&1 | grep 'not found' || true)
    [ -z "$missing" ] || fail "$program lacks libraries: $missing"
done

tool_version=$(/usr/bin/qmstool --version 2>&1) || fail "/usr/bin/qmstool --version failed: $tool_version"
[ "$tool_version" = "qmstool ${version%%-*}" ] ||
    fail "/usr/bin/qmstool --version says \"$tool_version\", the package is $version"

# The window must still be running when timeout stops it (exit status 124).
# Its settings go to a temporary folder, not the user's.
config=$(mktemp -d)
set +e
(cd "$config" && XDG_CONFIG_HOME=$config QT_QPA_PLATFORM=offscreen \
    timeout -k 5 3 /usr/bin/QuelmarR4FileGen >"$config/window.log" 2>&1)
window_status=$?
set -e
window="started, still running after 3 s (offscreen)"
[ $window_status -eq 124 ] || {
    window="ended by itself, exit status $window_status"
    fail "/usr/bin/QuelmarR4FileGen $window"
    cat "$config/window.log" >&2
}
rm -rf "$config"

files=(
    /usr/bin/QuelmarR4FileGen
    /usr/bin/qmstool
    "$plugins/libqmsplayback.so"
    "$plugins/libqmsconversion.so"
    /usr/share/applications/$app_id.desktop
    /usr/share/icons/hicolor/96x96/apps/$app_id.png
    /usr/share/metainfo/$app_id.metainfo.xml
    /usr/share/mime/packages/quelmar-qms.xml
    /usr/share/man/man1/qmstool.1.gz
    /usr/share/bash-completion/completions/qmstool
)
for file in "${files[@]}"; do
    [ -s "$file" ] || fail "$file is missing"
    dpkg -S "$file" >/dev/null 2>&1 || fail "$file does not belong to any package"
done
# dpkg's triggers have taken the .qms type into the system's MIME database.
if [ -f /usr/share/mime/globs2 ] && ! grep -q ':application/x-quelmar-qms:\*\.qms$' /usr/share/mime/globs2; then
    fail "/usr/share/mime/globs2 does not map *.qms to application/x-quelmar-qms"
fi

echo
echo "Package:    $deb ($(du -k "$deb" | cut -f1) KiB)"
echo "Installed:  $package $version ($(dpkg --print-architecture))"
echo "Depends:    $depends"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"
echo "Suggests:   $(dpkg-deb -f "$deb" Suggests)"
echo "qmstool:    $tool_version"
echo "Window:     $window"
echo "Files:"
printf '    %s\n' "${files[@]}"
if ((failures)); then
    echo "package.sh: $failures check(s) failed" >&2
    exit 1
fi
echo "All package checks passed"
