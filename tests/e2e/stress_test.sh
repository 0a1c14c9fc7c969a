#!/usr/bin/env bash
# Start and quit, many times: each cycle starts the real game under Xvfb,
# presses a few keys of both players and ends it, with Escape in the first
# half of the cycles and with the window's close request in the second. Every
# game must end with status 0, say nothing on standard error, and its window
# must still exist when the quit is sent (a window that went away while the
# game kept running would never get the quit). How long each game took to end
# is printed; one still running 10 s after the quit fails, as hung.
# Usage: stress_test.sh <folder of kivoro and kivoro_close_request> [CYCLES]
set -euo pipefail

bin=$(cd "${1:?folder of the kivoro program}" && pwd)
cycles=${2:-20}
test_name=stress
source "$(dirname "$0")/x_session.sh"

start_xvfb
slowest=0
total=0
for way in escape close; do
    for cycle in $(seq "$cycles"); do
        test_name="stress, cycle $cycle ($way)"
        start_game
        wait_for_game
        xtry xdotool key --delay 40 w d space Up Left Return
        xtry xwininfo -id "$window" >/dev/null 2>&1 || fail "cycle $cycle ($way): the window is gone while the game runs"
        if [ "$way" = escape ]; then
            xtry xdotool key Escape
        else
            xtry "$bin/kivoro_close_request" "$window" || fail "cycle $cycle: the close request could not be sent"
        fi
        wait_for_end 10 "the quit ($way)"
        [ "$status" -eq 0 ] || fail "cycle $cycle ($way): the game ended with status $status"
        no_errors
        slowest=$(awk -v a="$slowest" -v b="$took" 'BEGIN{print (b > a) ? b : a}')
        total=$(awk -v a="$total" -v b="$took" 'BEGIN{print a + b}')
    done
done
mean=$(awk -v t="$total" -v n="$cycles" 'BEGIN{printf "%.3f", t / (2 * n)}')
echo "stress: $cycles cycles each with Escape and the close request passed; end in ${mean} s on average, ${slowest} s at the slowest"
