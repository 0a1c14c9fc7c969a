#!/usr/bin/env bash
# End-to-end, the title menu as a player meets it, under Xvfb with xdotool:
# from `kivoro --menu`, a two-player match with a rule of one kill driven to
# its end screen (the first player releases full charges until the releases
# kill it), Rematch, Escape and leave, then Quit with status 0; the match kept
# as a replay with its kills; a match against the computer started from the
# menu, whose fighter moves; the replays page playing the match just played;
# and the screen that names missing art.
# Usage: menu_test.sh <folder holding kivoro and its assets>
set -euo pipefail

bin=$(cd "${1:?folder of the kivoro program}" && pwd)
test_name=menu
source "$(dirname "$0")/x_session.sh"

key() { xtry xdotool key --window "$window" "$@"; sleep 0.3; }
# The panel's texts (Health, Ki, Kills) show in a match, not in the menu.
in_match() { awk "BEGIN{exit !($(mean "$1" 200x140+20+400) > 0.006)}"; }
# Waits (up to $1 s) until a shot passes check $2; prints how long it took.
wait_until() {
    local guard=$1 check=$2 what=$3 start
    start=$(date +%s%N)
    until shot now && "$check" now; do
        [ $(($(date +%s%N) - start)) -lt $((guard * 1000000000)) ] ||
            fail "$what: not seen after $guard s"
        sleep 0.2
    done
    echo "menu: $what after $(seconds_since "$start") s"
}
# The end screen's choice shows on its blue highlight.
end_screen() {
    local blue
    blue=$(convert "$work/$1.png" -crop 60x20+300+440 +repage -format \
        "%[fx:mean.b - mean.r]" info:)
    awk "BEGIN{exit !($blue > 0.25)}"
}
not_in_match() { ! in_match "$1"; }

start_xvfb
mkdir -p "$XDG_CONFIG_HOME/kivoro"
printf '[match]\nrule = kills 1\n' >"$XDG_CONFIG_HOME/kivoro/settings.ini"

# Two players, first to one kill, to the end screen and back.
start_game --menu
wait_for_game
shot menu
not_in_match menu || fail "the menu shows a match's panel"
key Return
wait_until 10 in_match "the two-player match"
# Five full charges of 100 ki cost all 100 health; the fighter falls and dies
# (some 17 s at 60 frames a second: the charge is held until the end screen).
xtry xdotool keydown --window "$window" space
wait_until 120 end_screen "the end screen"
xtry xdotool keyup --window "$window" space
key Return
wait_until 10 in_match "the rematch"
key Escape
key Return
wait_until 10 not_in_match "the menu after leaving"
key Up
key Return
wait_for_end 10 "Quit"
[ "$status" -eq 0 ] || fail "the menu's Quit ended with status $status"
no_errors

# The first match was kept, decided by one kill of the second player's.
replays="$XDG_DATA_HOME/kivoro/replays"
"$bin/kivoro_replay" list "$replays" >"$work/list.out" 2>&1 || fail "cannot list: $(cat "$work/list.out")"
kept=$(ls "$replays" | grep -E '^[0-9-]+_[0-9-]+\.kvr$' | head -n 1 || true)
[ -n "$kept" ] || fail "the decided match was not kept: $(ls "$replays")"
"$bin/kivoro_replay" verify "$replays/$kept" >"$work/verify.out" 2>&1 ||
    fail "the decided match does not verify: $(cat "$work/verify.out")"
"$bin/kivoro_replay" info "$replays/$kept" >"$work/info.out" 2>&1 || true
grep -q '^kills: 0-1$' "$work/info.out" || fail "the kept match's kills are not 0-1: $(cat "$work/info.out")"

# Against the computer (normal): its fighter, on the right, moves by itself.
start_game --menu
wait_for_game
key Down
key Return
key Return
wait_until 10 in_match "the match against the computer"
shot computer1
sleep 3
shot computer2
moved=$(changed computer1 computer2 399x399+401+0)
echo "menu: the computer's view changed in $moved pixels"
[ "$moved" -gt 2000 ] || fail "the computer's fighter did not move ($moved pixels changed)"
key Escape
key Return
wait_until 10 not_in_match "the menu after the computer's match"

# Replays: the newest kept is the decided match above (the computer's match
# was too short to keep); Enter plays it, Escape goes back.
key Down
key Down
key Down
key Down
key Return
shot replays
key Return
wait_until 10 in_match "the replay"
shot replay1
sleep 1
shot replay2
# The first player charges through the replay's first seconds: its ki rises.
[ "$(changed replay1 replay2 120x30+90+445)" -gt 20 ] || fail "the replay does not play on"
key Escape
wait_until 10 not_in_match "the menu after the replay"
key Escape
key Return
wait_for_end 10 "Quit"
[ "$status" -eq 0 ] || fail "the second Quit ended with status $status"
no_errors

# Missing art: the game alone in a folder names what it cannot read on a
# screen of its own, not a black field; Escape quits.
mkdir -p "$work/lone"
cp "$bin/kivoro" "$work/lone/"
(cd "$work/lone" && SDL_AUDIODRIVER=dummy exec ./kivoro --menu) >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
game_started=$(date +%s%N)
first_frame_brightness=0.003
wait_for_game
shot missing
awk "BEGIN{exit !($(mean missing 600x40+100+200) > 0.01)}" || fail "the missing art is not named on screen"
grep -q 'cannot read TORVIK.BMP' "$work/game.err" || fail "standard error does not name the art"
key Escape
wait_for_end 10 "Escape on the missing art's screen"
[ "$status" -eq 0 ] || fail "the missing art's screen ended with status $status"
echo "menu: all passed"
