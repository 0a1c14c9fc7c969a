#!/usr/bin/env bash
# End-to-end: the real game under Xvfb, driven through XTEST with xdotool and
# captured with ImageMagick: the picture, both players' keys, focus lost and
# regained, Escape; then the ways a game ends without Escape (signals, the
# window's close request, the X server dying) and a machine with no display.
# Usage: e2e_test.sh <folder holding kivoro, its assets and kivoro_close_request>
set -euo pipefail

bin=$(cd "${1:?folder of the kivoro program}" && pwd)
test_name=e2e
source "$(dirname "$0")/x_session.sh"

# One pixel as "r,g,b" (0..255).
pixel() {
    convert "$work/$1.png" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
# Takes shot $1 until its region $3 differs from shot $2's; fails with $4 when
# it still does not after 10 s (the first shot usually shows the change).
shot_until_changed() {
    local start
    start=$(date +%s%N)
    shot "$1"
    until [ "$(changed "$2" "$1" "$3")" -gt 0 ]; do
        [ $(($(date +%s%N) - start)) -lt 10000000000 ] || fail "$4"
        sleep 0.1
        shot "$1"
    done
}

# No display at all (as over ssh): one line, status 1, at once (it takes some
# 0.1 s; only one still running after 10 s fails, as hung).
start=$(date +%s%N)
status=0
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
    timeout 10 "$bin/kivoro") >"$work/nodisplay.out" 2>"$work/nodisplay.err" || status=$?
echo "e2e: without a display the game ended in $(seconds_since "$start") s"
[ "$status" -ne 124 ] || fail "without a display the game was still running after 10 s"
[ "$status" -eq 1 ] || fail "without a display the game ended with status $status"
grep -q '^kivoro: cannot open a window: no display is available' "$work/nodisplay.err" ||
    fail "without a display the game said: $(cat "$work/nodisplay.err")"

start_xvfb
start_game
wait_for_game
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
xtry xdotool keydown space
sleep 1.2
xtry xdotool keyup space
sleep 0.15
shot_until_changed fired start 300x30+0+400 "player one's health did not change"

# Player two flies with the arrows: the right view scrolls.
xtry xdotool keydown Left
sleep 1.5
xtry xdotool keyup Left
sleep 0.2
shot flown
[ "$(changed fired flown 399x399+401+0)" -gt 2000 ] || fail "the right view did not scroll"

# Focus lost while player one charges, the key let go elsewhere, focus back:
# nothing is held, so player one's ki stays where it is.
xtry xdotool keydown space
sleep 0.4
xtry xdotool windowfocus "$(xtry xwininfo -root | awk '/Window id/ {print $4}')"
sleep 0.2
xtry xdotool keyup space
sleep 0.3
xtry xdotool windowfocus "$window"
sleep 0.6
shot refocused
sleep 1.0
shot later
[ "$(changed refocused later 300x30+0+440)" -eq 0 ] || fail "player one's charge key stuck after the focus came back"

# Escape ends the game with status 0.
xtry xdotool key Escape
wait_for_end 10 "Escape"
[ "$status" -eq 0 ] || fail "the game ended with status $status"
no_errors

# SIGTERM and SIGINT (a session ending, Ctrl+C in a terminal) end it cleanly.
for signal in TERM INT; do
    start_game
    wait_for_game
    kill -s "$signal" "$game_pid"
    wait_for_end 10 "SIG$signal"
    [ "$status" -eq 0 ] || fail "after SIG$signal the game ended with status $status"
    no_errors
done

# The window's close request, as a window manager's close button sends it.
start_game
wait_for_game
xtry "$bin/kivoro_close_request" "$window" || fail "the close request could not be sent"
wait_for_end 10 "the close request"
[ "$status" -eq 0 ] || fail "after the close request the game ended with status $status"
no_errors

# The X server dies under the game: it ends with one line and a failure
# status, and does not hang on the dead connection.
start_game
wait_for_game
kill "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=
wait_for_end 10 "its X server ended"
[ "$status" -ne 0 ] || fail "the game ended with status 0 after losing its display"
[ "$(wc -l <"$work/game.err")" -eq 1 ] || fail "expected one line on standard error: $(cat "$work/game.err")"
grep -q '^kivoro: the connection to the display was lost$' "$work/game.err" ||
    fail "the game said: $(cat "$work/game.err")"
echo "e2e: passed"
