#!/usr/bin/env bash
# Host and join through the title menus: two game windows, each on its own
# Xvfb, both started with --menu and driven with xdotool as players would.
# One chooses Host online, the other Join online and types 127.0.0.1; both
# play the same match; the joiner's Escape asks, Enter leaves, and both go
# back to their menus (the host after the message that the other side left),
# then Quit ends both with status 0. The menu hosts on the default port: when
# something else holds it, the test says so and passes.
set -euo pipefail
bin=$1
test_name=online_menus
. "$(dirname "$0")/online_session.sh"
cd "$work"

# Sends keys (or text with `type`) to the Kivoro window on display $1,
# focused first: there is no window manager.
to_window() {
    local on=$1
    shift
    find_window "$on"
    DISPLAY=$on xdotool "$@"
    sleep 0.3
}

# The panel's texts show in a match and not in a menu: waits (at most $2 s)
# until display $1 is in a match, or (with $3 = menu) in a menu.
wait_for_screen() {
    local on=$1 guard=$2 want=${3:-match} start lit
    start=$(date +%s%N)
    while :; do
        DISPLAY=$on import -window root "$work/now.png"
        lit=$(convert "$work/now.png" -crop 200x140+20+400 +repage -colorspace Gray \
            -format "%[fx:mean > 0.006 ? 1 : 0]" info:)
        if { [ "$want" = match ] && [ "$lit" = 1 ]; } || { [ "$want" = menu ] && [ "$lit" = 0 ]; }; then
            break
        fi
        [ $(($(date +%s%N) - start)) -lt $((guard * 1000000000)) ] ||
            fail "display $on shows no $want after $guard s"
        sleep 0.2
    done
    echo "$test_name: display $on shows its $want after $(awk -v ns=$(($(date +%s%N) - start)) 'BEGIN{printf "%.3f", ns / 1e9}') s"
}

start_xvfb host.display
host_display=$display
start_xvfb join.display
join_display=$display

DISPLAY=$host_display SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/host-config" \
    XDG_DATA_HOME="$work/host-data" "$bin/kivoro" --menu >host.out 2>host.err &
host_pid=$!
pids+=("$host_pid")
to_window "$host_display" key Down Down Return
for _ in $(seq 100); do
    grep -q "waiting for a player\|cannot listen" host.err && break
    sleep 0.1
done
if grep -q "cannot listen" host.err; then
    echo "$test_name: the default port is in use here: skipped"
    exit 0
fi
grep -q "waiting for a player on port 47700" host.err || fail "the host is not waiting: $(cat host.err)"

DISPLAY=$join_display SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/join-config" \
    XDG_DATA_HOME="$work/join-data" "$bin/kivoro" --menu >join.out 2>join.err &
join_pid=$!
pids+=("$join_pid")
to_window "$join_display" key Down Down Down Return
to_window "$join_display" type --delay 40 127.0.0.1
to_window "$join_display" key Return
wait_for_screen "$join_display" 20
wait_for_screen "$host_display" 20
grep -q "^last join = 127.0.0.1$" "$work/join-config/kivoro/settings.ini" ||
    fail "the join page did not remember the host: $(cat "$work/join-config/kivoro/settings.ini")"

# The joiner leaves: Escape asks, Enter leaves; its menu comes back, and the
# host says who left, then its menu comes back on a key.
to_window "$join_display" key Escape
to_window "$join_display" key Return
wait_for_screen "$join_display" 20 menu
for _ in $(seq 100); do
    grep -q "ended the match" host.err && break
    sleep 0.1
done
grep -q "ended the match" host.err || fail "the host did not say the other side left: $(cat host.err)"
sleep 0.6
to_window "$host_display" key space
wait_for_screen "$host_display" 20 menu

to_window "$join_display" key Up Return
wait_for_exit "$join_pid" 10 "the joiner's menu, told to quit, ended"
[ "$status" -eq 0 ] || fail "the joiner exited with $status: $(cat join.err)"
to_window "$host_display" key Up Return
wait_for_exit "$host_pid" 10 "the host's menu, told to quit, ended"
[ "$status" -eq 0 ] || fail "the host exited with $status: $(cat host.err)"
echo "$test_name: ok"
