#!/usr/bin/env bash
# Whole online matches, decided by the host's rule (first to one kill), with
# a game window on an Xvfb of its own and a headless side whose script holds
# the charge key, so that its fighter spends its health on five full releases
# and dies:
#   from the command line: a headless host with --rule "kills 1" and a
#     windowed joiner; both end at the same frame, the joiner saying it won
#     with both players' kills until a key, the two replays verifying to the
#     host's final line;
#   from the menu: a host whose settings say "kills 1" and a headless joiner;
#     the host's end screen offers Rematch, which hosts again and is reached
#     by a joiner that started before it; that match's end goes back to the
#     menu on a key, and Quit ends with status 0. The menu hosts on the
#     default port: when something else holds it, that part is skipped.
set -euo pipefail
bin=$1
test_name=online_window_rule
. "$(dirname "$0")/online_session.sh"
cd "$work"

# Sends keys to the Kivoro window, focused first (there is no window manager).
keys() {
    find_window "$display"
    DISPLAY=$display xdotool key "$@"
}

# Waits until file $1 has a line matching $2, at most $3 seconds.
wait_for_line() {
    for _ in $(seq $(($3 * 10))); do
        grep -q "$2" "$1" && return 0
        sleep 0.1
    done
    fail "no '$2' in $1 after $3 s: $(cat "$1")"
}

# Five full charges and their recoils: some 900 frames, a quarter of a minute.
for _ in $(seq 1300); do echo 16; done >charge.txt
: >idle.txt
start_xvfb display.txt

# From the command line.
"$bin/kivoro" --host 0 --headless --frames 3000 --script charge.txt --name Torvik \
    --rule "kills 1" --record host.kvr >host.out 2>host.err &
host_pid=$!
pids+=("$host_pid")
wait_for_port host.err
DISPLAY=$display SDL_AUDIODRIVER=dummy "$bin/kivoro" --join "127.0.0.1:$port" --windowed \
    --name Melsar --record join.kvr >join.out 2>join.err &
join_pid=$!
pids+=("$join_pid")
wait_for_exit "$host_pid" 120 "the headless host, whose fighter dies, ended"
[ "$status" -eq 0 ] || fail "the host exited with $status: $(cat host.err)"
grep -q "Melsar wins, 1 kill to 0" host.err || fail "the host did not say who won: $(cat host.err)"
host_line=$(tail -n 1 host.out)
wait_for_line join.err "you win, 1 kill to 0" 10
grep -q "kills: Torvik 0 kills, Melsar 1 kill" join.err || fail "no kills: $(cat join.err)"
# The message stands until a key.
sleep 1
kill -0 "$join_pid" 2>/dev/null || fail "the joiner's message did not wait for a key"
keys space
wait_for_exit "$join_pid" 10 "the joiner ended, after a key,"
[ "$status" -eq 0 ] || fail "the joiner exited with $status: $(cat join.err)"
join_line=$("$bin/kivoro_replay" verify join.kvr | tail -n 1) || fail "the joiner's replay does not verify"
replay_line=$("$bin/kivoro_replay" verify host.kvr | tail -n 1) || fail "the host's replay does not verify"
[ "$join_line" = "$host_line" ] && [ "$replay_line" = "$host_line" ] ||
    fail "the sides ended apart: '$host_line' / '$replay_line' / '$join_line'"
"$bin/kivoro_replay" info join.kvr | grep -q "online against Torvik" ||
    fail "the joiner's replay does not name the host: $("$bin/kivoro_replay" info join.kvr)"
# Both replays keep the host's rule, so each ends on the end screen the match did.
for side in host join; do
    "$bin/kivoro_replay" info "$side.kvr" | grep -q "^rule: first to 1 kill" ||
        fail "the $side's replay does not keep the rule: $("$bin/kivoro_replay" info "$side.kvr")"
done
echo "$test_name: command line: both ended at ${host_line#final: }"

# From the menu.
mkdir -p "$XDG_CONFIG_HOME/kivoro"
printf '[match]\nrule = kills 1\n' >"$XDG_CONFIG_HOME/kivoro/settings.ini"
: >menu.err
DISPLAY=$display SDL_AUDIODRIVER=dummy "$bin/kivoro" --menu --windowed >menu.out 2>menu.err &
menu_pid=$!
pids+=("$menu_pid")
sleep 1
keys Down Down Return
for _ in $(seq 100); do
    grep -q "waiting for a player\|cannot listen" menu.err && break
    sleep 0.1
done
if grep -q "cannot listen" menu.err; then
    echo "$test_name: the default port is in use here: the menu's part skipped"
    exit 0
fi
wait_for_line menu.err "waiting for a player on port 47700" 10
"$bin/kivoro" --join 127.0.0.1:47700 --headless --frames 3000 --script charge.txt \
    >joiner.out 2>joiner.err &
joiner_pid=$!
pids+=("$joiner_pid")
wait_for_exit "$joiner_pid" 120 "the headless joiner, whose fighter dies, ended"
[ "$status" -eq 0 ] || fail "the joiner exited with $status: $(cat joiner.err)"
wait_for_line menu.err "you win, 1 kill to 0" 10
sleep 0.5
# The end screen: its Rematch chosen, in the highlight's blue.
DISPLAY=$display import -window root end.png
blue=$(convert end.png -crop 1x1+256+428 -format "%[fx:int(255*b)] %[fx:int(255*r)]" info:)
[ "${blue% *}" -gt 150 ] && [ "${blue#* }" -lt 100 ] || fail "no end screen with Rematch ($blue)"
# Rematch: a joiner that knocks first is let in once the host listens again.
"$bin/kivoro" --join 127.0.0.1:47700 --headless --frames 120 --script idle.txt \
    >rejoin.out 2>rejoin.err &
rejoin_pid=$!
pids+=("$rejoin_pid")
sleep 2
keys Return
wait_for_exit "$rejoin_pid" 30 "the joiner that came before the rematch ended"
[ "$status" -eq 0 ] || fail "the rematch's joiner exited with $status: $(cat rejoin.err)"
wait_for_line menu.err "match finished after 120 frames" 10
sleep 1
keys space
sleep 1
keys Escape
sleep 0.3
keys Return
wait_for_exit "$menu_pid" 10 "the menu, told to quit, ended"
[ "$status" -eq 0 ] || fail "the menu exited with $status: $(cat menu.err)"
[ "$(grep -c 'waiting for a player on port 47700' menu.err)" -eq 2 ] ||
    fail "the rematch did not host again: $(cat menu.err)"
echo "$test_name: ok"
