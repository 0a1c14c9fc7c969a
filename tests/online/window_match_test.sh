#!/usr/bin/env bash
# Two real game windows, each on its own Xvfb, host and joiner on 127.0.0.1,
# driven by xdotool: the host shows its waiting line, then both show the same
# world with both fighters moving (each side's keys move its own fighter on
# both screens); the joiner's Escape ends both with status 0, the host saying
# who left, and both replays verify to the same final line. M mutes online.
set -euo pipefail
bin=$1
test_name=online_windows
. "$(dirname "$0")/online_session.sh"
cd "$work"

# Starts an Xvfb on a display number it picks itself; sets `display`. It does
# not reset when its last client leaves (-noreset): a reset refuses the
# connections that arrive meanwhile (see tests/e2e/x_session.sh).
start_xvfb() {
    local file=$1
    Xvfb -displayfd 3 -noreset -screen 0 800x600x24 -nolisten tcp 3>"$file" >"$file.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 200); do
        [ -s "$file" ] && break
        sleep 0.1
    done
    display=:$(head -n 1 "$file")
    DISPLAY=$display xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
}

# Waits for the Kivoro window on display $1 and gives it the keyboard focus
# (there is no window manager to give it).
find_window() {
    window=
    for _ in $(seq 150); do
        window=$(DISPLAY=$1 xdotool search --name '^Kivoro$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no Kivoro window on $1"
    DISPLAY=$1 xdotool windowfocus "$window"
}

shot() {
    DISPLAY=$1 import -window root "$2"
}

# Pixels (of 800 x 399) that differ in the views of two screenshots.
views_differ() {
    compare -metric AE -fuzz 8% -extract 800x399+0+0 "$1" "$2" null: 2>&1 >/dev/null || true
}

# The share of non-black pixels in the middle line's band of a screenshot.
middle_lit() {
    convert "$1" -crop 800x40+0+280 -colorspace Gray -format "%[fx:mean]" info:
}

start_xvfb host.display
host_display=$display
start_xvfb join.display
join_display=$display

# A random high port; another program on it makes the host say so, and the
# test tries another.
for attempt in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 30000))
    DISPLAY=$host_display SDL_AUDIODRIVER=dummy "$bin/kivoro" --host "$port" --windowed \
        --name Torvik --record host.kvr >host.out 2>host.err &
    host_pid=$!
    pids+=("$host_pid")
    sleep 1
    kill -0 "$host_pid" 2>/dev/null && break
    grep -q "cannot listen" host.err || fail "the host ended at start: $(cat host.err)"
done
find_window "$host_display"
for _ in $(seq 50); do
    shot "$host_display" waiting.png
    awk "BEGIN{exit !($(middle_lit waiting.png) > 0.01)}" && break
    sleep 0.1
done
awk "BEGIN{exit !($(middle_lit waiting.png) > 0.01)}" || fail "the host shows no waiting line"

DISPLAY=$join_display SDL_AUDIODRIVER=dummy "$bin/kivoro" --join "127.0.0.1:$port" --windowed \
    --name Melsar --record join.kvr >join.out 2>join.err &
join_pid=$!
pids+=("$join_pid")
# Playing once the panel's round trip shows on both.
for _ in $(seq 100); do
    shot "$host_display" host_a.png
    shot "$join_display" join_a.png
    host_corner=$(convert host_a.png -crop 200x20+600+400 -format "%[fx:mean]" info:)
    join_corner=$(convert join_a.png -crop 200x20+600+400 -format "%[fx:mean]" info:)
    awk "BEGIN{exit !($host_corner > 0.01 && $join_corner > 0.01)}" && break
    sleep 0.1
done
awk "BEGIN{exit !($host_corner > 0.01 && $join_corner > 0.01)}" || fail "the match did not start"
# Looked up again: SDL may have made its window anew while setting up.
find_window "$host_display"
find_window "$join_display"

# Each player flies their own fighter with the first player's keys (any key
# set moves one's own): the host's to the right, the joiner's to the left.
DISPLAY=$host_display xdotool keydown d
DISPLAY=$join_display xdotool keydown a
sleep 1.5
DISPLAY=$host_display xdotool keyup d
DISPLAY=$join_display xdotool keyup a
sleep 1.5
shot "$host_display" host_b.png
shot "$join_display" join_b.png

# Each camera follows its fighter: on both screens both views scrolled.
for side in host join; do
    left=$(compare -metric AE -fuzz 8% -extract 399x399+0+0 "${side}_a.png" "${side}_b.png" \
        null: 2>&1 >/dev/null || true)
    right=$(compare -metric AE -fuzz 8% -extract 399x399+401+0 "${side}_a.png" "${side}_b.png" \
        null: 2>&1 >/dev/null || true)
    [ "${left%.*}" -gt 8000 ] || fail "the first fighter did not move on the $side's screen ($left)"
    [ "${right%.*}" -gt 8000 ] || fail "the second fighter did not move on the $side's screen ($right)"
done
# The same world on both: only the fighters' idle animation may differ (it
# advances as a side draws, and each side draws its own frames), at most two
# 48 x 48 sprites in each view; moving scrolled some 60000 pixels.
same=$(views_differ host_b.png join_b.png)
echo "moved: $left / $right; same world: $same pixels differ"
[ "${same%.*}" -lt 10000 ] || fail "the two screens show different worlds ($same pixels differ)"

# M mutes online too: the host's panel shows the note, and the settings file
# keeps it; the match runs on.
DISPLAY=$host_display xdotool keydown m keyup m
sleep 0.3
shot "$host_display" host_c.png
note=$(compare -metric AE -fuzz 8% -extract 200x20+600+545 host_b.png host_c.png null: 2>&1 \
    >/dev/null || true)
[ "${note%.*}" -gt 50 ] || fail "M showed no note online ($note pixels changed)"
grep -q "muted *= *yes" "$XDG_CONFIG_HOME/kivoro/settings.ini" ||
    fail "M online was not saved: $(cat "$XDG_CONFIG_HOME/kivoro/settings.ini" 2>&1)"

DISPLAY=$join_display xdotool keydown Escape keyup Escape
wait_for_exit "$join_pid" 10 "the joiner ended, after its Escape,"
[ "$status" -eq 0 ] || fail "the joiner exited with $status: $(cat join.err)"
# The host shows who left for 4 s, then ends.
wait_for_exit "$host_pid" 30 "the host ended, after the joiner left,"
[ "$status" -eq 0 ] || fail "the host exited with $status: $(cat host.err)"
grep -q "Melsar ended the match" host.err || fail "the host did not say who left: $(cat host.err)"
host_line=$("$bin/kivoro_replay" verify host.kvr | tail -n 1) || fail "the host's replay does not verify"
join_line=$("$bin/kivoro_replay" verify join.kvr | tail -n 1) || fail "the joiner's replay does not verify"
[ "$host_line" = "$join_line" ] || fail "the replays end apart: '$host_line' / '$join_line'"
echo "$test_name: ok ($host_line)"
