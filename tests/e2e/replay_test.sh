#!/usr/bin/env bash
# End-to-end replays: a real game under Xvfb, driven with xdotool, recorded
# with --record and (without it, ended by SIGTERM) kept in the data folder
# under its start time with last.kvr made it, both verified with
# kivoro_replay, a match of half a second not kept; a killed game's
# unfinished file readable and listed;
# the recording played back with --replay, its views moving and its "Replay"
# label shown; replays with a damaged header refused before any window opens.
# Usage: replay_test.sh <folder holding kivoro, kivoro_replay and the assets>
set -euo pipefail

bin=$(cd "${1:?folder of the kivoro program}" && pwd)
test_name=e2e_replay
source "$(dirname "$0")/x_session.sh"

# Copies replay $1 to $2 with the byte at offset $3 inverted.
flip_byte() {
    cp "$1" "$2"
    local value
    value=$(od -An -tu1 -j "$3" -N 1 "$1" | tr -d ' ')
    printf "\\$(printf '%03o' $((value ^ 0xFF)))" | dd of="$2" bs=1 seek="$3" conv=notrunc status=none
}
# The region of the panel where the replay's label goes, clear of the panel's
# own texts.
label_region=200x24+600+400

start_xvfb

# A match of a few seconds, both players flying, player one charging and
# firing, recorded into a named file.
recorded="$work/match.kvr"
start_game --windowed --record "$recorded"
wait_for_game
shot game
xtry xdotool keydown space keydown Left
sleep 1.2
xtry xdotool keyup space
sleep 1.3
xtry xdotool keyup Left keydown d keydown Up
sleep 2
xtry xdotool keyup d keyup Up
xtry xdotool key Escape
wait_for_end 10 "Escape"
[ "$status" -eq 0 ] || fail "the recorded game ended with status $status"
no_errors
[ -s "$recorded" ] || fail "no replay was written to $recorded"
ls "$work"/match.kvr.*.part >/dev/null 2>&1 && fail "the unfinished file was left beside the replay"
"$bin/kivoro_replay" verify "$recorded" >"$work/verify.out" 2>&1 ||
    fail "kivoro_replay verify failed: $(cat "$work/verify.out")"
# Some 4.5 s of play: about 270 frames at 60 a second, fewer on a busy
# machine; far fewer means the recording lost frames.
frames=$(awk '/^final:/ {print $2}' "$work/verify.out")
echo "e2e_replay: ${frames:-no} frames recorded"
[ "${frames:-0}" -ge 60 ] || fail "only ${frames:-no} frames were recorded: $(cat "$work/verify.out")"

# Without --record the match is kept in the data folder under its start
# time, and last.kvr made it; a game ended by SIGTERM (a session ending)
# completes it too. A match under ten seconds is not kept.
replays="$XDG_DATA_HOME/kivoro/replays"
start_game --windowed
wait_for_game
sleep 0.5
kill -s TERM "$game_pid"
wait_for_end 10 "SIGTERM in the short game"
[ "$status" -eq 0 ] || fail "the short game ended with status $status"
no_errors
[ -z "$(ls -A "$replays" 2>/dev/null)" ] || fail "a match of half a second was kept: $(ls "$replays")"

start_game --windowed
wait_for_game
xtry xdotool keydown Right
sleep 0.5
xtry xdotool keyup Right
sleep 12.5
kill -s TERM "$game_pid"
wait_for_end 10 "SIGTERM"
[ "$status" -eq 0 ] || fail "the second game ended with status $status"
no_errors
kept=$(cd "$replays" && ls | grep -E '^[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}\.kvr$' || true)
[ "$(echo "$kept" | wc -w)" -eq 1 ] || fail "the match was not kept under its start time: $(ls "$replays")"
last="$replays/last.kvr"
[ "$(stat -c %i "$last")" = "$(stat -c %i "$replays/$kept")" ] || fail "last.kvr is not the match kept"
"$bin/kivoro_replay" verify "$last" >"$work/verify_last.out" 2>&1 ||
    fail "the kept replay does not verify: $(cat "$work/verify_last.out")"
frames=$(awk '/^final:/ {print $2}' "$work/verify_last.out")
[ "${frames:-0}" -ge 600 ] || fail "the kept match holds ${frames:-no} frames"
echo "e2e_replay: a match of $frames frames kept as $kept"
"$bin/kivoro_replay" list >"$work/list.out" 2>&1 || fail "kivoro_replay list failed: $(cat "$work/list.out")"
grep -q "finished    $kept: local" "$work/list.out" || fail "the list does not show the match: $(cat "$work/list.out")"

# A game killed outright leaves its unfinished file, which holds the match
# up to the last half second, and is listed as such. It is killed once its
# file holds frames (it writes them 30 at a time after the header), usually
# after 1.5 s.
start_game --windowed
wait_for_game
sleep 1.5
start=$(date +%s%N)
until [ -n "$(find "$replays" -name "*.kvr.$game_pid.part" -size +139c)" ]; do
    [ $(($(date +%s%N) - start)) -lt 10000000000 ] || fail "the game wrote no frames in 11.5 s"
    sleep 0.1
done
killed=$game_pid
kill -s KILL "$game_pid"
wait_for_end 10 "SIGKILL"
part=$(cd "$replays" && ls | grep -E "\.kvr\.$killed\.part\$" || true)
[ -n "$part" ] && [ -s "$replays/$part" ] || fail "the killed game left no .part file: $(ls "$replays")"
status=0
"$bin/kivoro_replay" verify "$replays/$part" >"$work/verify_part.out" 2>&1 || status=$?
[ "$status" -eq 1 ] && grep -q unfinished "$work/verify_part.out" ||
    fail "the killed game's file verified with status $status: $(cat "$work/verify_part.out")"
frames=$(awk '/^final:/ {print $2}' "$work/verify_part.out")
[ "${frames:-0}" -ge 30 ] || fail "the killed game's file holds ${frames:-no} frames"
"$bin/kivoro_replay" list >"$work/list.out" 2>&1
grep -q "unfinished  $part: local" "$work/list.out" || fail "the list does not show the unfinished file: $(cat "$work/list.out")"
rm "$replays/$part"

# The recording played back: the views move by themselves, the label shows,
# and Escape ends it. A replay records nothing.
ls -l "$replays" >"$work/replays_before.txt"
start_game --windowed --replay "$recorded"
wait_for_game
# The first frame drawn, as early in the replay as can be: on a busy machine
# the wait for it may take some of the replay's few seconds.
cp "$work/first.png" "$work/replay1.png"
sleep 1
shot replay2
[ "$(changed replay1 replay2 399x399+0+0)" -gt 2000 ] ||
    [ "$(changed replay1 replay2 399x399+401+0)" -gt 2000 ] ||
    fail "the replay's views did not move"
awk "BEGIN{exit !($(mean game $label_region) < 0.001)}" || fail "the game shows a label where the replay's goes"
awk "BEGIN{exit !($(mean replay2 $label_region) > 0.01)}" || fail "the replay shows no label"
xtry xdotool key Escape
wait_for_end 10 "Escape in the replay"
[ "$status" -eq 0 ] || fail "the replay ended with status $status"
no_errors
ls -l "$replays" | cmp -s - "$work/replays_before.txt" || fail "the replay was recorded: $(ls "$replays")"

# A damaged header is refused before a window opens: status 1, one line.
for damage in "0 not a replay" "12 made with other art"; do
    read -r offset reason <<<"$damage"
    flip_byte "$recorded" "$work/damaged.kvr" "$offset"
    status=0
    (cd "$work" && SDL_AUDIODRIVER=dummy timeout 10 "$bin/kivoro" --replay damaged.kvr) \
        >"$work/damaged.out" 2>"$work/damaged.err" || status=$?
    [ "$status" -eq 1 ] || fail "a replay with byte $offset flipped ended with status $status"
    [ "$(wc -l <"$work/damaged.err")" -eq 1 ] && grep -q "$reason" "$work/damaged.err" ||
        fail "a replay with byte $offset flipped was refused with: $(cat "$work/damaged.err")"
done
echo "e2e_replay: passed"
