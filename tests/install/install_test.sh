#!/usr/bin/env bash
# Installing: `cmake --install` into a temporary DESTDIR must put every file
# under DESTDIR/PREFIX, the desktop entry and the AppStream metainfo must pass
# their validators, the icon must be there in every size, and the installed
# game, started from an unrelated folder, must find its art and sounds.
# Usage: install_test.sh <build folder>
set -euo pipefail

build=$(cd "${1:?build folder}" && pwd)
prefix=/opt/kivoro-install-test
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() {
    echo "install: $*" >&2
    exit 1
}

DESTDIR="$stage/root" cmake --install "$build" --prefix "$prefix" >"$stage/install.log" ||
    fail "cmake --install failed: $(cat "$stage/install.log")"
outside=$(cd "$stage/root" && find . \( -type f -o -type l \) ! -path ".$prefix/*")
[ -z "$outside" ] || fail "installed outside the prefix: $outside"

installed="$stage/root$prefix"
id=io.github.kivoro.Kivoro
desktop-file-validate "$installed/share/applications/$id.desktop" ||
    fail "the desktop entry is not valid"
grep -qx "Icon=$id" "$installed/share/applications/$id.desktop" || fail "the desktop entry names no icon"
appstreamcli validate --no-net "$installed/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo is not valid"
for size in 32 64 128 256; do
    icon="$installed/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "$icon is not ${size}x${size}"
done

# The installed game from an empty folder, on the dummy video driver: a
# missing file would be named on standard error. SIGTERM ends it. (In the
# sanitizer build the leak check's list of suppressions it used is not news.)
mkdir "$stage/elsewhere"
(cd "$stage/elsewhere" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0" exec "$installed/bin/kivoro") \
    >"$stage/game.out" 2>"$stage/game.err" &
game=$!
sleep 2
kill -0 "$game" 2>/dev/null || fail "the installed game ended early: $(cat "$stage/game.err")"
kill -TERM "$game"
status=0
wait "$game" || status=$?
[ "$status" -eq 0 ] || fail "the installed game ended with status $status"
[ ! -s "$stage/game.err" ] || fail "the installed game said: $(cat "$stage/game.err")"
echo "install: passed"
