#!/usr/bin/env bash
# Installing: `cmake --install` into a temporary DESTDIR must put every file
# under DESTDIR/PREFIX, the desktop entry and the AppStream metainfo must pass
# their validators, the icon must be there in every size, and the installed
# game, started from an unrelated folder, must find its art and sounds; on an
# X server its window must carry the game's icon and the class the desktop
# entry names in StartupWMClass, so docks group it with its launcher.
# Usage: install_test.sh <build folder>
set -euo pipefail

build=$(cd "${1:?build folder}" && pwd)
prefix=/opt/kivoro-install-test
stage=$(mktemp -d)
xvfb=
game=
cleanup() {
    [ -n "$game" ] && kill -9 "$game" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$stage"
}
trap cleanup EXIT
fail() {
    echo "install: $*" >&2
    exit 1
}
# Seconds (three decimals) since $1, a time from `date +%s%N`.
seconds_since() {
    awk -v ns=$(($(date +%s%N) - $1)) 'BEGIN{printf "%.3f", ns / 1e9}'
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
grep -qx "Exec=kivoro --menu" "$installed/share/applications/$id.desktop" ||
    fail "the desktop entry does not open the title menu"
appstreamcli validate --no-net "$installed/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo is not valid"
for size in 32 64 128 256; do
    icon="$installed/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "$icon is not ${size}x${size}"
done

# The installed game from an empty folder, on the dummy video driver: a
# missing file would be named on standard error. Its settings and replay go to
# folders of this test, not the user's. It has loaded everything once it
# starts its replay file, and must still run 2 s later; SIGTERM then ends it.
# The waits' limits only catch a hang (it starts in well under a second, and
# ends in a fraction of one); the times are printed. (In the sanitizer build
# the leak check's list of suppressions it used is not news.)
mkdir "$stage/elsewhere" "$stage/home"
export HOME="$stage/home" XDG_CONFIG_HOME="$stage/config" XDG_DATA_HOME="$stage/data" \
    XDG_CACHE_HOME="$stage/cache" XDG_RUNTIME_DIR="$stage/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
started=$(date +%s%N)
(cd "$stage/elsewhere" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0" exec "$installed/bin/kivoro") \
    >"$stage/game.out" 2>"$stage/game.err" &
game=$!
until ls "$XDG_DATA_HOME"/kivoro/replays/*.kvr.*.part >/dev/null 2>&1; do
    kill -0 "$game" 2>/dev/null || fail "the installed game ended early: $(cat "$stage/game.err")"
    [ $(($(date +%s%N) - started)) -lt 30000000000 ] ||
        fail "the installed game did not start its replay in 30 s: $(cat "$stage/game.err")"
    sleep 0.1
done
echo "install: the installed game was playing $(seconds_since "$started") s after its start"
sleep 2
kill -0 "$game" 2>/dev/null || fail "the installed game ended early: $(cat "$stage/game.err")"
kill -TERM "$game"
stopped=$(date +%s%N)
while kill -0 "$game" 2>/dev/null; do
    [ $(($(date +%s%N) - stopped)) -lt 30000000000 ] ||
        fail "the installed game was still running 30 s after SIGTERM"
    sleep 0.02
done
echo "install: the installed game ended $(seconds_since "$stopped") s after SIGTERM"
status=0
wait "$game" || status=$?
game=
[ "$status" -eq 0 ] || fail "the installed game ended with status $status"
[ ! -s "$stage/game.err" ] || fail "the installed game said: $(cat "$stage/game.err")"

# The same game on a private X server: its window's WM_CLASS is what the
# desktop entry's StartupWMClass says, and it carries the 64 x 64 icon.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$installed/share/applications/$id.desktop")
[ -n "$wm_class" ] || fail "the desktop entry names no StartupWMClass"
mkdir -p -m 700 "$stage/runtime"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$stage/display" >"$stage/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$stage/display" ] && break
    sleep 0.1
done
display=:$(head -n 1 "$stage/display")
# Xvfb now and then drops a connection that arrives while another client is
# connecting: X clients are tried again, and so is the game once if it found no
# display at start.
xtry() {
    local attempt
    for attempt in 1 2 3 4 5; do
        DISPLAY=$display "$@" && return 0
        sleep 0.05
    done
    return 1
}
start_x_game() {
    (cd "$stage/elsewhere" && DISPLAY=$display SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$stage/runtime" \
        XDG_CONFIG_HOME="$stage/config" XDG_DATA_HOME="$stage/data" \
        LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0" exec "$installed/bin/kivoro") \
        >"$stage/xgame.out" 2>"$stage/xgame.err" &
    game=$!
}
start_x_game
starts=1
window=
for _ in $(seq 150); do
    window=$(DISPLAY=$display xdotool search --name '^Kivoro$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    if ! kill -0 "$game" 2>/dev/null; then
        grep -q 'no display is available' "$stage/xgame.err" && [ "$starts" -lt 3 ] ||
            fail "the installed game ended on the X server: $(cat "$stage/xgame.err")"
        starts=$((starts + 1))
        start_x_game
    fi
    sleep 0.1
done
[ -n "$window" ] || fail "no Kivoro window appeared on the X server"
classes=$(xtry xprop -id "$window" WM_CLASS)
[ "$classes" = "WM_CLASS(STRING) = \"$wm_class\", \"$wm_class\"" ] ||
    fail "the window's class is not StartupWMClass=$wm_class: $classes"
icon=$(xtry xprop -id "$window" _NET_WM_ICON | head -n 1)
[[ "$icon" == *"Icon (64 x 64)"* ]] || fail "the window carries no 64 x 64 icon: $icon"
kill -TERM "$game"
wait "$game" || true
game=
echo "install: passed"
