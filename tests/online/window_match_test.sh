#!/usr/bin/env bash
# Two real game windows, each on its own Xvfb, host and joiner on 127.0.0.1,
# driven by xdotool: a waiting host shows its port and addresses (and says
# them on standard error), and Escape cancels its wait with status 0; then
# both show the same world with both fighters moving (each side's keys move
# its own fighter on both screens), the round trip measured between packets
# rather than frames; M mutes online, P says an online match cannot pause;
# the joiner's Escape ends both with status 0, the host saying who left and
# the kills until a key, and both replays verify to the same final line.
set -euo pipefail
bin=$1
test_name=online_windows
. "$(dirname "$0")/online_session.sh"
cd "$work"

shot() {
    DISPLAY=$1 import -window root "$2"
}

# Pixels (of 800 x 399) that differ in the views of two screenshots.
views_differ() {
    compare -metric AE -fuzz 8% -extract 800x399+0+0 "$1" "$2" null: 2>&1 >/dev/null || true
}

# The brightness of the 800 x 24 band of a screenshot from row $2 down.
band_lit() {
    convert "$1" -crop "800x24+0+$2" -colorspace Gray -format "%[fx:mean]" info:
}

start_xvfb host.display
host_display=$display
start_xvfb join.display
join_display=$display

# A waiting host's Escape cancels the wait: status 0, and it says so.
DISPLAY=$host_display SDL_AUDIODRIVER=dummy "$bin/kivoro" --host 0 --windowed >cancel.out \
    2>cancel.err &
cancel_pid=$!
pids+=("$cancel_pid")
wait_for_port cancel.err
find_window "$host_display"
sleep 0.5
DISPLAY=$host_display xdotool key Escape
wait_for_exit "$cancel_pid" 10 "a waiting host cancelled with Escape"
[ "$status" -eq 0 ] || fail "a cancelled wait exited with $status: $(cat cancel.err)"
grep -q "cancelled before the match began" cancel.err || fail "no word of the cancel: $(cat cancel.err)"

DISPLAY=$host_display SDL_AUDIODRIVER=dummy "$bin/kivoro" --host 0 --windowed --name Torvik \
    --record host.kvr >host.out 2>host.err &
host_pid=$!
pids+=("$host_pid")
wait_for_port host.err
find_window "$host_display"
# The waiting screen: its heading, and under it the line of an address (or,
# on a machine with none, the line saying who can join); the addresses it
# shows are said on standard error too.
for _ in $(seq 50); do
    shot "$host_display" waiting.png
    awk "BEGIN{exit !($(band_lit waiting.png 220) > 0.01 && $(band_lit waiting.png 300) > 0.01)}" &&
        break
    sleep 0.1
done
awk "BEGIN{exit !($(band_lit waiting.png 220) > 0.01)}" || fail "the host shows no waiting line"
awk "BEGIN{exit !($(band_lit waiting.png 300) > 0.01)}" || fail "the host shows no address line"
if grep -q "this machine is at" host.err; then
    grep -q "this machine is at [0-9.]*:$port" host.err || fail "addresses without the port: $(cat host.err)"
fi
echo "$test_name: $(grep 'this machine is at' host.err || echo 'no address but loopback')"

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

# P cannot pause an online match: a note says so in the same corner, and the
# world goes on.
sleep 1.2
shot "$host_display" host_d.png
DISPLAY=$host_display xdotool key p
sleep 0.3
shot "$host_display" host_e.png
note=$(compare -metric AE -fuzz 8% -extract 250x20+525+545 host_d.png host_e.png null: 2>&1 \
    >/dev/null || true)
[ "${note%.*}" -gt 100 ] || fail "P showed no note online ($note pixels changed)"

DISPLAY=$join_display xdotool keydown Escape keyup Escape
wait_for_exit "$join_pid" 10 "the joiner ended, after its Escape,"
[ "$status" -eq 0 ] || fail "the joiner exited with $status: $(cat join.err)"
# The host says who left, with the kills, until a key.
for _ in $(seq 100); do
    grep -q "Melsar ended the match" host.err && break
    sleep 0.1
done
grep -q "Melsar ended the match" host.err || fail "the host did not say who left: $(cat host.err)"
grep -q "kills: Torvik [0-9]* kills*, Melsar [0-9]* kills*" host.err ||
    fail "the host did not give the kills: $(cat host.err)"
sleep 1
kill -0 "$host_pid" 2>/dev/null || fail "the host's message did not wait for a key"
DISPLAY=$host_display xdotool key space
wait_for_exit "$host_pid" 10 "the host ended, after a key,"
[ "$status" -eq 0 ] || fail "the host exited with $status: $(cat host.err)"
echo "$test_name: round trip shown: $(grep -o 'round trip [0-9]* ms' host.err) (host), \
$(grep -o 'round trip [0-9]* ms' join.err) (joiner)"
host_line=$("$bin/kivoro_replay" verify host.kvr | tail -n 1) || fail "the host's replay does not verify"
join_line=$("$bin/kivoro_replay" verify join.kvr | tail -n 1) || fail "the joiner's replay does not verify"
[ "$host_line" = "$join_line" ] || fail "the replays end apart: '$host_line' / '$join_line'"
echo "$test_name: ok ($host_line)"
