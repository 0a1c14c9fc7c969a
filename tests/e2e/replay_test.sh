#!/usr/bin/env bash
# End-to-end replays: a real game under Xvfb, driven with xdotool, recorded
# with --record and (without it, ended by SIGTERM) to the default last.kvr,
# both verified with kivoro_replay; a killed game's unfinished file readable;
# the recording played back with --replay, its views moving and its "Replay"
# label shown; replays with a damaged header refused before any window opens.
# Usage: replay_test.sh <folder holding kivoro, kivoro_replay and the assets>
set -euo pipefail

bin=$(cd "${1:?folder of the kivoro program}" && pwd)
test_name=e2e_replay
source "$(dirname "$0")/x_session.sh"

shot() { xtry import -window root "$work/$1.png"; }
# Mean brightness (0..1) of a region WxH+X+Y.
mean() { convert "$work/$1.png" -crop "$2" +repage -colorspace Gray -format "%[fx:mean]" info:; }
# Number of pixels that differ between two shots in a region.
changed() {
    convert "$work/$1.png" -crop "$3" +repage "$work/a.png"
    convert "$work/$2.png" -crop "$3" +repage "$work/b.png"
    compare -metric AE -fuzz 2% "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1 || true
}
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

# Without --record the match goes to last.kvr in the data folder; a game
# ended by SIGTERM (a session ending) completes it too.
start_game --windowed
wait_for_game
xtry xdotool keydown Right
sleep 0.5
xtry xdotool keyup Right
kill -s TERM "$game_pid"
wait_for_end 10 "SIGTERM"
[ "$status" -eq 0 ] || fail "the second game ended with status $status"
no_errors
last="$XDG_DATA_HOME/kivoro/replays/last.kvr"
"$bin/kivoro_replay" verify "$last" >"$work/verify_last.out" 2>&1 ||
    fail "the default replay does not verify: $(cat "$work/verify_last.out")"

# A game killed outright leaves its unfinished file, which holds the match
# up to the last half second. It is killed once its file holds frames (it
# writes them 30 at a time after the 24-byte header), usually after 1.5 s.
start_game --windowed
wait_for_game
sleep 1.5
start=$(date +%s%N)
until [ -n "$(find "$XDG_DATA_HOME/kivoro/replays" -name "last.kvr.$game_pid.part" -size +83c)" ]; do
    [ $(($(date +%s%N) - start)) -lt 10000000000 ] || fail "the game wrote no frames in 11.5 s"
    sleep 0.1
done
killed=$game_pid
kill -s KILL "$game_pid"
wait_for_end 10 "SIGKILL"
part="$last.$killed.part"
[ -s "$part" ] || fail "the killed game left no $part: $(ls "$XDG_DATA_HOME/kivoro/replays")"
status=0
"$bin/kivoro_replay" verify "$part" >"$work/verify_part.out" 2>&1 || status=$?
[ "$status" -eq 1 ] && grep -q unfinished "$work/verify_part.out" ||
    fail "the killed game's file verified with status $status: $(cat "$work/verify_part.out")"
frames=$(awk '/^final:/ {print $2}' "$work/verify_part.out")
[ "${frames:-0}" -ge 30 ] || fail "the killed game's file holds ${frames:-no} frames"
rm "$part"

# The recording played back: the views move by themselves, the label shows,
# and Escape ends it. A replay records nothing.
cp "$last" "$work/last_before.kvr"
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
[ "$(ls "$XDG_DATA_HOME/kivoro/replays")" = "last.kvr" ] && cmp -s "$last" "$work/last_before.kvr" ||
    fail "the replay was recorded: $(ls "$XDG_DATA_HOME/kivoro/replays")"

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
