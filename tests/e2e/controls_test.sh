#!/usr/bin/env bash
# End-to-end, from the title menu, keys only: Settings -> Controls, the first
# player's charge key changed by pressing Left Ctrl (saved in the settings
# file at once; M pressed first is refused and mutes nothing); a two-player match where Space no longer charges and Left
# Ctrl does (the kept replay's control bytes say so, and its header keeps the
# menu's rule); then Replays: the match just played is listed and plays, and
# Right seeks ten seconds while paused (the held picture and its time label
# change, and stay). Escape back to the menu, Quit: status 0, nothing on
# standard error.
# Usage: controls_test.sh <folder holding kivoro, kivoro_replay and the assets>
set -euo pipefail

bin=$(cd "${1:?folder of the kivoro program}" && pwd)
test_name=e2e_controls
source "$(dirname "$0")/x_session.sh"

# Number of pixels of a shot's region in the menu's highlight blue.
highlighted() {
    convert "$work/$1.png" -crop "$2" +repage -fuzz 6% -fill white -opaque "rgb(48,96,192)" \
        -fill black +opaque white -format "%[fx:int(mean*w*h)]" info:
}
# Keys pressed one at a time, each held long enough for the game's frame to
# see it and let go before the next.
keys() {
    local key
    for key in "$@"; do
        xtry xdotool keydown "$key"
        sleep 0.08
        xtry xdotool keyup "$key"
        sleep 0.25
    done
}
# Holds a key for $2 seconds.
hold() {
    xtry xdotool keydown "$1"
    sleep "$2"
    xtry xdotool keyup "$1"
}
# Waits (at most $2 s) until the settings file holds the line $1.
wait_for_setting() {
    local start
    start=$(date +%s%N)
    until grep -qx "$1" "$settings" 2>/dev/null; do
        [ $(($(date +%s%N) - start)) -lt $(($2 * 1000000000)) ] ||
            fail "the settings file never said '$1': $(cat "$settings" 2>/dev/null)"
        sleep 0.1
    done
    echo "e2e_controls: the settings file said '$1' $(seconds_since "$start") s after asking"
}

settings="$XDG_CONFIG_HOME/kivoro/settings.ini"
replays="$XDG_DATA_HOME/kivoro/replays"
start_xvfb
start_game --menu
wait_for_game

# Settings is the sixth item of the main list, Controls the sixth of the
# settings; the first player's charge is the last row of the table.
keys Down Down Down Down Down Return
keys Down Down Down Down Down Return
keys Down Down Down Down Down Return
# M is the game's (mute): refused, and it does not mute while a key is awaited.
keys m
sleep 0.5
keys Return
hold Control_L 0.3
wait_for_setting "charge = Left Ctrl" 10
grep -qx "muted = no" "$settings" || fail "M pressed as the new key muted the game: $(cat "$settings")"
shot bound
# The page takes no menu key until the key bound has been let go a moment
# (its own key-down may reach the menu late): wait that out.
sleep 0.5
# Back to the settings, back to the main list (on Settings), up to Two players.
keys Escape Escape Up Up Up Up Up Return

# The match: a rest, Space held (no longer a key of the game), a rest, Left
# Ctrl held (a charge, released), and on past ten seconds, so it is kept.
match_started=$(date +%s%N)
sleep 1
hold space 1.5
sleep 1
hold Control_L 1.5
sleep 8
shot match
# Escape asks whether to leave; Enter leaves, to the menu.
keys Escape Return
echo "e2e_controls: left the match after $(seconds_since "$match_started") s"

start=$(date +%s%N)
until kept=$(cd "$replays" 2>/dev/null && ls | grep -E '^[0-9_-]+\.kvr$' | head -n 1) && [ -n "$kept" ]; do
    [ $(($(date +%s%N) - start)) -lt 10000000000 ] || fail "no replay was kept: $(ls "$replays" 2>&1)"
    sleep 0.1
done
"$bin/kivoro_replay" info "$replays/$kept" >"$work/info.out" 2>&1 ||
    fail "kivoro_replay info failed: $(cat "$work/info.out")"
grep -qx "match: local" "$work/info.out" || fail "the replay is not of a local match: $(cat "$work/info.out")"
grep -qx "rule: first to 5 kills" "$work/info.out" || fail "the replay lost the rule: $(cat "$work/info.out")"
"$bin/kivoro_replay" print "$replays/$kept" >"$work/bytes.txt" 2>"$work/print.err" ||
    fail "kivoro_replay print failed: $(cat "$work/print.err")"
# The first player's charge bit (0x10) runs: exactly one, the Left Ctrl held
# for 1.5 s (some 90 frames); Space, held before it, charged nothing.
read -r runs longest frames < <(awk '
    { charging = int($1 / 16) % 2 }
    charging && !before { runs++ }
    charging { length_now++; if (length_now > longest) longest = length_now }
    !charging { length_now = 0 }
    { before = charging }
    END { print runs + 0, longest + 0, NR }' "$work/bytes.txt")
echo "e2e_controls: $frames frames kept, $runs charge run(s) of the first player, the longest $longest frames"
[ "$runs" -eq 1 ] || fail "the first player's charge bit ran $runs times (Space still charges?)"
[ "$longest" -ge 45 ] && [ "$longest" -le 150 ] || fail "Left Ctrl charged for $longest frames"

# Replays is the fifth item; the newest replay, the match just played, is
# the first of the list and chosen.
keys Down Down Down Down Return
sleep 0.3
shot replays
[ "$(highlighted replays 800x50+0+190)" -gt 500 ] || fail "the replays list shows no replay"
keys Return
sleep 1.5
keys p
sleep 0.5
shot paused
keys Right
sleep 0.5
shot sought
sleep 1
shot still
# The label is the panel's top right corner; the views above the panel.
label=200x24+600+400
[ "$(changed paused sought "$label")" -gt 20 ] || fail "seeking did not change the replay's time"
[ "$(changed paused sought 800x399+0+0)" -gt 2000 ] || fail "seeking did not change the picture"
[ "$(changed sought still 800x600+0+0)" -eq 0 ] || fail "the paused replay moved after the seek"

# Escape leads back to the menu; Escape there goes to Quit, Enter quits.
keys Escape
sleep 0.5
keys Escape Return
wait_for_end 10 "Quit"
[ "$status" -eq 0 ] || fail "the game ended with status $status"
no_errors
echo "e2e_controls: passed"
