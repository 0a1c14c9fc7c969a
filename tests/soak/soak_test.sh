#!/usr/bin/env bash
# Long play: the real game under Xvfb with random keys of both players held
# and let go for a while (600 seconds unless told otherwise). It must not
# crash or write to standard error, its resident memory may grow by less than
# 1 MB after the first 10 seconds, and Escape must end it with status 0 (only a
# game still running 30 s after it fails, as hung: the sanitizer build's leak
# check runs at exit).
# With --sanitized (a build with AddressSanitizer) the memory is not measured,
# since the sanitizer's own bookkeeping grows, and its leak check runs at exit
# with the suppressions beside this script for leaks inside system libraries.
# Usage: soak_test.sh <folder of kivoro> [SECONDS] [--sanitized]
# (KIVORO_SOAK_SECONDS, when set, overrides SECONDS.)
set -euo pipefail

bin=$(cd "${1:?folder of the kivoro program}" && pwd)
seconds=${KIVORO_SOAK_SECONDS:-${2:-600}}
sanitized=${3:-}
test_name=soak
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/x_session.sh"

if [ "$sanitized" = --sanitized ]; then
    export ASAN_OPTIONS=detect_leaks=1
    export LSAN_OPTIONS="suppressions=$here/lsan_suppressions.txt:print_suppressions=0"
fi

resident_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$game_pid/status"; }

keys=(w s a d v space Up Down Left Right Shift_R Return)
held=()

start_xvfb
start_game
wait_for_game
start=$(date +%s)
baseline=
RANDOM=7
while :; do
    now=$(date +%s)
    elapsed=$((now - start))
    [ "$elapsed" -lt "$seconds" ] || break
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended after ${elapsed} s: $(cat "$work/game.err")"
    if [ -z "$baseline" ] && [ "$elapsed" -ge 10 ]; then
        baseline=$(resident_kb)
        echo "soak: resident memory after 10 s: ${baseline} kB"
    fi
    if [ $((elapsed % 60)) -eq 0 ] && [ "$elapsed" -gt 0 ] && [ "${reported:-}" != "$elapsed" ]; then
        reported=$elapsed
        echo "soak: ${elapsed} s, resident memory $(resident_kb) kB"
    fi
    # Press a key that is not held, or let go of one that is.
    key=${keys[RANDOM % ${#keys[@]}]}
    if [[ " ${held[*]} " == *" $key "* ]]; then
        xtry xdotool keyup "$key"
        still=()
        for other in "${held[@]}"; do
            [ "$other" = "$key" ] || still+=("$other")
        done
        held=("${still[@]}")
    else
        xtry xdotool keydown "$key"
        held+=("$key")
    fi
    sleep "0.$((RANDOM % 25 + 5))"
done
for key in "${held[@]}"; do
    xtry xdotool keyup "$key"
done
sleep 0.5
final=$(resident_kb)
echo "soak: resident memory at the end (${seconds} s): ${final} kB"
if [ "$sanitized" != --sanitized ] && [ -n "$baseline" ]; then
    growth=$((final - baseline))
    echo "soak: growth after the first 10 s: ${growth} kB"
    [ "$growth" -lt 1024 ] || fail "resident memory grew by ${growth} kB"
fi
xtry xdotool key Escape
wait_for_end 30 "Escape"
[ "$status" -eq 0 ] || fail "the game ended with status $status: $(cat "$work/game.err")"
no_errors
echo "soak: passed"
