#!/usr/bin/env bash
# End-to-end, the players' comforts: the command line's answers, then the real
# game under Xvfb at 1920 x 1080 driven with xdotool: --windowed opens a
# 1200 x 900 window (1.5 times the picture) in the middle, Alt+Enter covers the
# screen without charging the second player and back, F11 does the same, P
# freezes the picture while keys are held and P again lets it go on, a lost
# focus pauses, a window resized by hand shows the whole picture, and the
# window mode and size are kept in the settings file.
# Usage: comfort_test.sh <folder holding kivoro and its assets>
set -euo pipefail

bin=$(cd "${1:?folder of the kivoro program}" && pwd)
test_name=comfort
xvfb_screen=1920x1080x24
# A window of 1200 x 900 is only part of this screen.
first_frame_brightness=0.005
source "$(dirname "$0")/x_session.sh"

# The window's client area as "WIDTHxHEIGHT+X+Y".
geometry() {
    xtry xwininfo -id "$window" | awk '
        /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /Width:/ {w = $NF} /Height:/ {h = $NF} END {print w "x" h "+" x "+" y}'
}
# Waits for the window to take the given geometry after $2 and prints how
# long that took (some 0.2 s); one that has not after 10 s fails.
wait_for_geometry() {
    local start
    start=$(date +%s%N)
    until [ "$(geometry)" = "$1" ]; do
        [ $(($(date +%s%N) - start)) -lt 10000000000 ] ||
            fail "$2: the window is $(geometry), not $1, 10 s later"
        sleep 0.05
    done
    echo "comfort: $2: the window took its place in $(seconds_since "$start") s"
}

# The command line: help and version answer with status 0, a mistake with one
# line naming it, the hint and status 2; none of them needs a display.
status=0
"$bin/kivoro" --help >"$work/help.out" 2>"$work/help.err" || status=$?
[ "$status" -eq 0 ] || fail "--help ended with status $status"
grep -q '^Usage: kivoro' "$work/help.out" || fail "--help printed no usage: $(head -n 3 "$work/help.out")"
for option in --windowed --fullscreen --mute --version; do
    grep -q -- "$option" "$work/help.out" || fail "--help does not mention $option"
done
[ ! -s "$work/help.err" ] || fail "--help wrote to standard error"
status=0
"$bin/kivoro" --version >"$work/version.out" || status=$?
[ "$status" -eq 0 ] && grep -q '^kivoro ' "$work/version.out" || fail "--version: status $status"
status=0
"$bin/kivoro" --bogus >"$work/bogus.out" 2>"$work/bogus.err" || status=$?
[ "$status" -eq 2 ] || fail "--bogus ended with status $status"
[ "$(wc -l <"$work/bogus.err")" -eq 2 ] && grep -q -- '--bogus' "$work/bogus.err" &&
    grep -q "kivoro --help" "$work/bogus.err" || fail "--bogus said: $(cat "$work/bogus.err")"
[ ! -s "$work/bogus.out" ] || fail "--bogus wrote to standard output"

start_xvfb
start_game --windowed
wait_for_game
wait_for_geometry 1200x900+360+90 "--windowed"
sleep 0.3

# Alt+Enter covers the screen; the picture keeps its aspect in black bars.
# Enter held on after Alt is let go does not charge the second player's ki
# (the panel's second "Ki:" value, at 1.8 times scale).
xtry xdotool keydown alt keydown Return
wait_for_geometry 1920x1080+0+0 "Alt+Enter"
xtry xdotool keyup alt
sleep 0.5
shot covered
sleep 1.0
shot covered_later
xtry xdotool keyup Return
ki_two=300x40+1000+805
[ "$(changed covered covered_later "$ki_two")" -eq 0 ] || fail "Enter still held after Alt+Enter charged the second player"
awk "BEGIN{exit !($(mean covered 230x1080+0+0) == 0)}" || fail "no black bar left of the picture"
awk "BEGIN{exit !($(mean covered 1440x700+240+0) > 0.05)}" || fail "the picture does not fill the screen's height"

# Alt+Enter again: the window of its own, where it was.
xtry xdotool key alt+Return
wait_for_geometry 1200x900+360+90 "Alt+Enter back"
# F11 switches the same way, there and back.
xtry xdotool key F11
wait_for_geometry 1920x1080+0+0 "F11"
xtry xdotool key F11
wait_for_geometry 1200x900+360+90 "F11 back"
sleep 0.3

# P with keys held: the picture stands still (dimmed, the pause line on it).
view=1200x900+360+90
views=1200x598+360+90
shot before_pause
xtry xdotool key p
sleep 0.3
xtry xdotool keydown space keydown Right
sleep 0.3
shot paused
sleep 1.0
shot paused_later
[ "$(changed paused paused_later "$view")" -eq 0 ] || fail "the picture moved while paused"
awk "BEGIN{exit !($(mean paused $views) < $(mean before_pause $views))}" ||
    fail "the views are not dimmed while paused"
# P again: the game goes on with the keys still held.
xtry xdotool key p
sleep 1.0
shot resumed
sleep 0.5
shot resumed_later
xtry xdotool keyup space keyup Right
# (The first player's charge counts up every frame, then fires by itself.)
[ "$(changed resumed resumed_later "$view")" -gt 0 ] || fail "the picture stood still after P again"
[ "$(changed paused resumed 450x45+360+750)" -gt 0 ] || fail "the first player's ki did not change after P again"

# The focus away for a second pauses the game as P does; it stays paused when
# the focus comes back.
sleep 0.5
shot focused
xtry xdotool windowfocus "$(xtry xwininfo -root | awk '/Window id/ {print $4}')"
sleep 1.0
xtry xdotool windowfocus "$window"
sleep 0.5
shot refocused
sleep 0.5
shot refocused_later
[ "$(changed refocused refocused_later "$view")" -eq 0 ] || fail "the picture moved after the focus came back"
awk "BEGIN{exit !($(mean refocused $views) < $(mean focused $views))}" ||
    fail "the game did not pause when its window lost the focus"

grep -q '^mode = windowed$' "$XDG_CONFIG_HOME/kivoro/settings.ini" ||
    fail "the settings file does not keep the window mode: $(cat "$XDG_CONFIG_HOME/kivoro/settings.ini" 2>&1)"

# Resized by hand to 1000 x 600: the picture follows, as large as fits with
# its shape kept (800 x 600 in the middle, bars left and right), and the size
# is written to the settings file once it settles, before the game ends.
xtry xdotool windowsize "$window" 1000 600
wait_for_geometry 1000x600+360+90 "resizing"
sleep 0.5
shot resized
awk "BEGIN{exit !($(mean resized 95x600+360+90) == 0)}" || fail "no black bar left of the resized picture"
awk "BEGIN{exit !($(mean resized 800x400+460+90) > 0.02)}" || fail "the picture does not fill the resized window"
for _ in $(seq 50); do
    grep -q '^size = 1000x600$' "$XDG_CONFIG_HOME/kivoro/settings.ini" && break
    sleep 0.1
done
grep -q '^size = 1000x600$' "$XDG_CONFIG_HOME/kivoro/settings.ini" ||
    fail "the window's size is not written while the game runs: $(cat "$XDG_CONFIG_HOME/kivoro/settings.ini" 2>&1)"

xtry xdotool key Escape
wait_for_end 10 "Escape"
[ "$status" -eq 0 ] || fail "the game ended with status $status"
no_errors
grep -q '^size = 1000x600$' "$XDG_CONFIG_HOME/kivoro/settings.ini" ||
    fail "the settings file does not keep the window's size: $(cat "$XDG_CONFIG_HOME/kivoro/settings.ini" 2>&1)"
echo "comfort: passed"
