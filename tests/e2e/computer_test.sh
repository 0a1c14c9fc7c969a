#!/usr/bin/env bash
# End-to-end, a match against the computer from the command line: `kivoro
# --computer hard` under Xvfb plays, the computer's fighter (the right one)
# moves and fires by itself, Escape ends the game with status 0, and the
# recording verifies with the computer's bytes in it.
# Usage: computer_test.sh <folder holding kivoro and its assets>
set -euo pipefail

bin=$(cd "${1:?folder of the kivoro program}" && pwd)
test_name=computer
source "$(dirname "$0")/x_session.sh"


start_xvfb
start_game --computer hard --record "$work/computer.kvr"
wait_for_game
shot one
sleep 4
shot two
moved=$(changed one two 399x399+401+0)
echo "computer: the computer's view changed in $moved pixels"
[ "$moved" -gt 2000 ] || fail "the computer's fighter did not move ($moved pixels changed)"
xtry xdotool key --window "$window" Escape
wait_for_end 10 "Escape"
[ "$status" -eq 0 ] || fail "the game ended with status $status"
no_errors

"$bin/kivoro_replay" verify "$work/computer.kvr" >"$work/verify.out" 2>&1 ||
    fail "the match does not verify: $(cat "$work/verify.out")"
"$bin/kivoro_replay" print "$work/computer.kvr" >"$work/bytes.txt"
frames=$(wc -l <"$work/bytes.txt")
# The second byte of each line is the computer's: it flies (0x03) and
# releases (0x10 let go) on its own, while the first player pressed nothing.
charges=$(awk '{ if (int($2 / 16) % 2 == 1) n++ } END { print n + 0 }' "$work/bytes.txt")
flights=$(awk '{ if ($2 % 4 != 0) n++ } END { print n + 0 }' "$work/bytes.txt")
idle=$(awk '{ if ($1 != 0) n++ } END { print n + 0 }' "$work/bytes.txt")
echo "computer: $frames frames; the computer charged in $charges and flew in $flights"
[ "$charges" -gt 0 ] || fail "the computer never charged"
[ "$flights" -gt 0 ] || fail "the computer never flew"
[ "$idle" -eq 0 ] || fail "the first player's bytes are not all 0"
"$bin/kivoro_replay" info "$work/computer.kvr" | grep -q '^match: .*computer' ||
    fail "the replay does not say it was against the computer: $("$bin/kivoro_replay" info "$work/computer.kvr")"
echo "computer: all passed"
