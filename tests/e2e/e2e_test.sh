#!/usr/bin/env bash
# End-to-end: the real game under Xvfb (an 800 x 600 screen, so the picture maps
# one to one), driven through XTEST with xdotool and captured with ImageMagick.
# Usage: e2e_test.sh <folder holding kivoro and its assets>
set -euo pipefail

bin=${1:?folder of the kivoro program}
work=$(mktemp -d)
game_pid=
xvfb_pid=

cleanup() {
    # A game still running here has failed the test: end it outright, before its
    # X server goes away under it.
    [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "e2e: $*" >&2
    echo "screenshots kept in $work.keep" >&2
    cp -r "$work" "$work.keep" 2>/dev/null || true
    exit 1
}

# Xvfb picks a free display number itself and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=:$(head -n 1 "$work/display" 2>/dev/null)
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"

# Run from an empty folder: the assets must be found beside the executable.
(cd "$work" && SDL_AUDIODRIVER=dummy exec "$bin/kivoro") >"$work/game.log" 2>&1 &
game_pid=$!

window=
for _ in $(seq 300); do
    window=$(xdotool search --name '^Kivoro$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no Kivoro window appeared"
# There is no window manager: give the window the keyboard focus directly.
xdotool windowfocus "$window"

shot() { import -window root "$work/$1.png"; }
# One pixel as "r,g,b" (0..255).
pixel() {
    convert "$work/$1.png" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
# Mean brightness (0..1) of a region WxH+X+Y.
mean() { convert "$work/$1.png" -crop "$2" +repage -colorspace Gray -format "%[fx:mean]" info:; }
# Fraction of pixels that differ between two shots in a region.
changed() {
    convert "$work/$1.png" -crop "$3" +repage "$work/a.png"
    convert "$work/$2.png" -crop "$3" +repage "$work/b.png"
    compare -metric AE -fuzz 2% "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1 || true
}

# Wait for the first drawn frames (set-up loads the art first).
for _ in $(seq 150); do
    shot start
    awk "BEGIN{exit !($(mean start 800x600+0+0) > 0.03)}" && break
    sleep 0.1
done
sleep 0.5
shot start
# The divider between the views and above the panel stays black.
for point in "399 100" "400 300" "200 399" "600 399"; do
    [ "$(pixel start $point)" = "0,0,0" ] || fail "divider pixel ($point) is not black"
done
# Both views show dirt; the panel shows text.
awk "BEGIN{exit !($(mean start 399x399+0+0) > 0.05)}" || fail "left view shows no dirt"
awk "BEGIN{exit !($(mean start 399x399+401+0) > 0.05)}" || fail "right view shows no dirt"
awk "BEGIN{exit !($(mean start 380x100+0+400) > 0.005)}" || fail "status panel shows no text"

# Player one charges for about a second and releases: a blast flies and the
# release costs health.
xdotool keydown space
sleep 1.2
xdotool keyup space
sleep 0.15
shot fired
[ "$(changed start fired 300x30+0+400)" -gt 0 ] || fail "player one's health did not change"

# Player two flies with the arrows: the right view scrolls.
xdotool keydown Left
sleep 1.5
xdotool keyup Left
sleep 0.2
shot flown
[ "$(changed fired flown 399x399+401+0)" -gt 2000 ] || fail "the right view did not scroll"

# Escape ends the game with status 0 within two seconds.
xdotool key Escape
for _ in $(seq 20); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then
    fail "the game did not end within two seconds of Escape"
fi
status=0
wait "$game_pid" || status=$?
game_pid=
[ "$status" -eq 0 ] || fail "the game ended with status $status"
echo "e2e: passed"
