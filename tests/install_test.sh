#!/usr/bin/env bash
# Installs the build into a temporary prefix (cmake --install) and checks what
# landed there: every file in its place, the icon a 96x96 PNG, the desktop
# entry, AppStream metainfo and MIME definition valid and agreeing with each
# other and with the programs, the man pages clean and qmstool's describing
# every command and option, the bash completion offering what each command
# takes, the installed qmstool
# writing a file its MIME definition recognises, the window's plugins where the
# installed window finds it, and the installed window starting. Checks that
# need desktop-file-validate, appstreamcli, xmllint, update-mime-database or
# groff are skipped where those are not installed.
#
# Usage: install_test.sh CMAKE BUILD_DIR
set -uo pipefail

cmake=$1
build=$2
app_id=com.quelmar.QuelmarR4FileGen
mime_type=application/x-quelmar-qms

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

failures=0
pass() { echo "PASS: $*"; }
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
skip() { echo "SKIP: $* (tool not installed)"; }
have() { command -v "$1" >/dev/null 2>&1; }
# check DESCRIPTION COMMAND...: passes when COMMAND succeeds; shows its output otherwise.
check() {
    local what=$1 output
    shift
    if output=$("$@" 2>&1); then
        pass "$what"
    else
        fail "$what"
        printf '%s\n' "$output" | sed 's/^/    /'
    fi
}

if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL: cmake --install $build --prefix $prefix"
    exit 1
fi

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
mime_xml=$prefix/share/mime/packages/quelmar-qms.xml
icon=$prefix/share/icons/hicolor/96x96/apps/$app_id.png
man_page=$prefix/share/man/man1/qmstool.1.gz
completion=$prefix/share/bash-completion/completions/qmstool
qmstool=$prefix/bin/qmstool
window=$prefix/bin/QuelmarR4FileGen

# Every installed file: its test (-x a program, -s a non-empty file) and path.
while read -r test path; do
    if [ "$test" "$prefix/$path" ]; then
        pass "installed $path"
    else
        fail "installed $path ($test)"
    fi
done <<EOF
-x bin/QuelmarR4FileGen
-x bin/qmstool
-s share/applications/$app_id.desktop
-s share/icons/hicolor/96x96/apps/$app_id.png
-s share/metainfo/$app_id.metainfo.xml
-s share/mime/packages/quelmar-qms.xml
-s share/man/man1/qmstool.1.gz
-s share/bash-completion/completions/qmstool
EOF
# The window's plugins, in their folder under the library folder (lib/, or
# lib/<multiarch>/ for the prefix /usr).
for name in qmsplayback qmsconversion qmsffmpeg; do
    found=$(cd "$prefix" && find . -name "lib$name.so" | sed 's|^\./||')
    if [[ $found =~ ^lib(/[^/]+)?/QuelmarR4FileGen/lib$name\.so$ ]]; then
        pass "installed $found"
    else
        fail "installed lib$name.so once under lib/.../QuelmarR4FileGen/, found: $found"
    fi
done
plugins=$(dirname "$(cd "$prefix" && find . -name libqmsplayback.so | sed 's|^\./||')")
if ((failures)); then
    echo "Installed:"
    (cd "$prefix" && find . -type f | sort | sed 's/^/    /')
    exit 1
fi

# The icon: the PNG signature, then the IHDR chunk's width and height.
bytes() { od -An -tx1 -j"$2" -N"$3" "$1" | tr -d ' \n'; }
if [ "$(bytes "$icon" 0 8)" = 89504e470d0a1a0a ] && [ "$(bytes "$icon" 12 4)" = 49484452 ]; then
    size="$((16#$(bytes "$icon" 16 4)))x$((16#$(bytes "$icon" 20 4)))"
    if [ "$size" = 96x96 ]; then pass "icon is a 96x96 PNG"; else fail "icon is $size, not 96x96"; fi
else
    fail "icon is not a PNG file"
fi

# The desktop entry.
if have desktop-file-validate; then
    check "desktop-file-validate" desktop-file-validate "$desktop"
else
    skip "desktop-file-validate"
fi
key() { sed -n "s/^$1=//p" "$desktop"; }
while read -r name wanted; do
    if [ "$(key "$name")" = "$wanted" ]; then
        pass "desktop entry $name=$wanted"
    else
        fail "desktop entry $name is \"$(key "$name")\", not \"$wanted\""
    fi
done <<EOF
Type Application
Name QuelmarR4FileGen
Exec $(basename "$window") %F
Icon $(basename "$icon" .png)
Categories AudioVideo;Audio;
MimeType $mime_type;audio/x-wav;audio/wav;
EOF

# The installed qmstool, and the version every installed text names.
version=$("$qmstool" --version 2>&1)
status=$?
if [ $status -eq 0 ] && [[ $version =~ ^qmstool\ ([0-9]+\.[0-9]+\.[0-9]+)$ ]]; then
    version=${BASH_REMATCH[1]}
    pass "installed qmstool --version: $version"
else
    fail "installed qmstool --version (exit $status): $version"
    version=unknown
fi
if grep -q "<release version=\"$version\"" "$metainfo"; then
    pass "metainfo names release $version"
else
    fail "metainfo has no release $version"
fi
if zcat "$man_page" | grep -q "^\.TH QMSTOOL 1 .*\"qmstool $version\""; then
    pass "man page is for qmstool $version"
else
    fail "man page's .TH line does not name qmstool $version: $(zcat "$man_page" | grep '^\.TH')"
fi

# The AppStream metainfo.
if have appstreamcli; then
    check "appstreamcli validate --no-net" appstreamcli validate --no-net "$metainfo"
else
    skip "appstreamcli validate"
fi
if grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" &&
    grep -q "<id>$app_id</id>" "$metainfo"; then
    pass "metainfo id and launchable match the desktop entry"
else
    fail "metainfo id or launchable does not match $(basename "$desktop")"
fi

# The MIME definition: well-formed, and what the shared MIME database makes of it.
if have xmllint; then
    check "xmllint MIME definition" xmllint --noout "$mime_xml"
else
    skip "xmllint"
fi
if have update-mime-database; then
    mkdir -p "$work/mime/packages"
    cp "$mime_xml" "$work/mime/packages/"
    check "update-mime-database" update-mime-database "$work/mime"
    check "globs2 maps *.qms to $mime_type" grep -qx "[0-9]*:$mime_type:\*\.qms" "$work/mime/globs2"
else
    skip "update-mime-database"
fi

# The installed qmstool writes a sound file that starts with the MIME magic.
signature=$(sed -n 's/.*<match type="string" offset="0" value="\([^"]*\)".*/\1/p' "$mime_xml")
le32() {
    printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) \
        $((($1 >> 16) & 255)) $((($1 >> 24) & 255))
}
samples=4410 # 0.1 s of silence, 44100 Hz, 16-bit, mono
{
    printf "RIFF$(le32 $((36 + 2 * samples)))WAVEfmt $(le32 16)"
    printf "\\x01\\x00\\x01\\x00$(le32 44100)$(le32 88200)\\x02\\x00\\x10\\x00"
    printf "data$(le32 $((2 * samples)))"
    head -c $((2 * samples)) /dev/zero
} >"$work/silence.wav"
check "installed qmstool build" "$qmstool" build -o "$work/silence.qms" "$work/silence.wav"
check "installed qmstool inspect" "$qmstool" inspect "$work/silence.qms"
if [ -n "$signature" ] && [ "$(head -c ${#signature} "$work/silence.qms" 2>/dev/null)" = "$signature" ]; then
    pass "the written sound file starts with the MIME magic \"$signature\""
else
    fail "the written sound file does not start with the MIME magic \"$signature\""
fi

# The man pages: each one installed is clean for groff; those of the
# programs named here must be there.
required_man_pages=(qmstool QuelmarR4FileGen)
for name in "${required_man_pages[@]}"; do
    [ -s "$prefix/share/man/man1/$name.1.gz" ] || fail "no man page $name.1.gz"
done
for page in "$prefix"/share/man/man1/*.1.gz; do
    name=$(basename "$page" .1.gz)
    check "$name.1.gz is gzip data" gzip -t "$page"
    zcat "$page" >"$work/$name.1"
    if have groff; then
        check "groff -man -ww finds nothing to warn about in $name.1" \
            bash -c 'out=$(groff -man -ww -z "$1" 2>&1) && [ -z "$out" ] || { echo "$out"; false; }' \
            _ "$work/$name.1"
    else
        skip "groff"
    fi
    for section in NAME SYNOPSIS DESCRIPTION; do
        grep -qx "\.SH $section" "$work/$name.1" || fail "$name.1 has no section $section"
    done
done
for section in COMMANDS OPTIONS '"JSON OUTPUT"' '"EXIT STATUS"' EXAMPLES '"SEE ALSO"'; do
    if grep -qx "\.SH $section" "$work/qmstool.1"; then
        pass "qmstool.1 section $section"
    else
        fail "qmstool.1 has no section $section"
    fi
done
# Every command the installed qmstool lists is in the synopsis, and every
# option its help names is described.
commands=$("$qmstool" --help | sed -n 's/^  \([a-z]\+\)\( .*\)\?$/\1/p' | sort -u)
for command in $commands; do
    grep -qF "\\fB$command\\fR" "$work/qmstool.1" || fail "qmstool.1's synopsis lacks $command"
    for option in $("$qmstool" "$command" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        grep -qF -- "${option//-/\\-}" "$work/qmstool.1" ||
            fail "qmstool.1 does not describe $command's $option"
    done
done
pass "qmstool.1 names the $(echo $commands | wc -w) commands and their options"

# The bash completion: valid bash, and what it offers: commands, options,
# and files of the kind each command takes.
check "bash -n $(basename "$completion")" bash -n "$completion"
mkdir -p "$work/complete/sub"
touch "$work/complete/"{set.qms,kick.wav,voice.mp3,notes.txt}
completed() {
    (cd "$work/complete" && bash -c 'source "$1"; shift; COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1)); _qmstool; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@" |
        sort | paste -sd ' ')
}
while IFS='|' read -r words wanted; do
    # The words are split on purpose; '' stands for an empty word.
    read -ra list <<<"${words//\'\'/@}"
    got=$(completed "${list[@]/#@/}")
    if [ "$got" = "$wanted" ]; then
        pass "completing \"$words\" offers $wanted"
    else
        fail "completing \"$words\" offers \"$got\", not \"$wanted\""
    fi
done <<EOF
qmstool ins|inspect
qmstool -q bu|build
qmstool inspect ''|set.qms sub
qmstool check ''|kick.wav sub voice.mp3
qmstool build -o ''|set.qms sub
qmstool convert -d ''|sub
qmstool convert --fo|--force
qmstool help ex|extract
EOF

# Qt Multimedia and the audio libraries come with the plugins alone (and
# qmstool), FFmpeg's with its own module, which neither qmstool nor the
# conversion plugin links (they load it when a file needs it); and the
# installed programs find them
# relative to their own folder: the window tests' first Play and first
# conversion, run from the installed bin/ folder without QT_PLUGIN_PATH, and
# qmstool converting an AAC file.
needed() { readelf -d "$1" 2>/dev/null | grep -q "(NEEDED).*\[$2"; }
while read -r plugin library also; do
    linked=
    for program in "$window" "$qmstool" "$prefix/$plugins"/libqms*.so; do
        if needed "$program" "$library" && [ "$program" != "$prefix/$plugins/lib$plugin.so" ] &&
            [ "$(basename "$program")" != "$also" ]; then
            linked="$linked $(basename "$program")"
        fi
    done
    if needed "$window" libQt6Core.so && [ -z "$linked" ] &&
        needed "$prefix/$plugins/lib$plugin.so" "$library"; then
        pass "only lib$plugin.so links $library"
    else
        fail "lib$plugin.so does not link $library, or$linked link it"
    fi
done <<EOF
qmsplayback libQt6Multimedia.so
qmsconversion libsndfile.so qmstool
qmsconversion libsoxr.so qmstool
qmsconversion libebur128.so qmstool
qmsffmpeg libavformat.so
qmsffmpeg libavcodec.so
qmsffmpeg libavutil.so
EOF
cp "$build/tests/tst_qmwindow_layers" "$prefix/bin/"
check "installed window plays through its plugin" env -u QT_PLUGIN_PATH QT_QPA_PLATFORM=offscreen \
    "$prefix/bin/tst_qmwindow_layers" playIsMadeOnFirstUseAndSaysWhenThereIsNoOutput
check "installed window converts through its plugin" env -u QT_PLUGIN_PATH \
    QT_QPA_PLATFORM=offscreen "$prefix/bin/tst_qmwindow_layers" "convert:an MP3"
rm "$prefix/bin/tst_qmwindow_layers"
if have ffmpeg; then
    ffmpeg -nostdin -loglevel error -f lavfi -i sine=duration=0.2 -c:a aac "$work/tone.m4a"
    check "installed qmstool converts AAC through the FFmpeg module" \
        env -u QT_PLUGIN_PATH "$qmstool" convert -o "$work/tone.wav" "$work/tone.m4a"
else
    skip "ffmpeg"
fi

# The installed window starts and is still running when stopped.
mkdir -p "$work/config"
XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen timeout -k 5 2 "$window" >"$work/window.log" 2>&1
status=$?
if [ $status -eq 124 ]; then
    pass "installed window still running after 2 s"
else
    fail "installed window ended with exit status $status"
    sed 's/^/    /' "$work/window.log"
fi

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "All install checks passed"
