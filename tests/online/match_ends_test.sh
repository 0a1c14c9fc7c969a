#!/usr/bin/env bash
# How headless online processes end when the other side is gone, in each
# phase, and when they are told to stop; every time measured and printed:
#   connecting:  a join nobody answers ends with 3, "nobody answered at ...";
#   handshaking: a join to a host that never speaks ends with 3; a host keeps
#                waiting past a client that never speaks, and plays the real
#                player who joins meanwhile;
#   playing:     a joiner killed outright: the host ends with 3;
#   ending:      a host told to stop while its joiner is killed ends at once;
#   signals:     SIGTERM ends a waiting host, and a joiner mid-match, with 143
#                within a second; the host then says the other player left.
# The guards are wide (they catch hangs); the figures are the printed times.
set -euo pipefail
bin=$1
test_name=online_match_ends
. "$(dirname "$0")/online_session.sh"

cd "$work"
write_script host.txt 600 0
write_script join.txt 600 1

# Each run's files are emptied first: the started process empties them only
# once it runs, and the port is read from them at once.
start_host() {
    : >host.err
    : >host.out
    "$bin/kivoro" --host 0 --headless --frames "$1" --script host.txt --name Torvik \
        --record host.kvr >host.out 2>host.err &
    host_pid=$!
    pids+=("$host_pid")
    wait_for_port host.err
}

start_join() {
    : >join.err
    : >join.out
    "$bin/kivoro" --join "127.0.0.1:$1" --headless --frames "$2" --script join.txt \
        --name Melsar --record join.kvr >join.out 2>join.err &
    join_pid=$!
    pids+=("$join_pid")
}

# Waits until the host's replay has frames on disk: the match is on.
wait_for_play() {
    for _ in $(seq 100); do
        [ -n "$(find . -name 'host.kvr.*.part' -size +200c)" ] && return 0
        sleep 0.1
    done
    fail "the match did not start: $(cat host.err join.err)"
}

# A free UDP port nobody listens on: a host is started and stopped on it.
start_host 1000
quiet_port=$port
kill -TERM "$host_pid"
wait_for_exit "$host_pid" 3 "a waiting host did not end on SIGTERM"
[ "$status" -eq 143 ] || fail "a waiting host exited with $status on SIGTERM, not 143"
echo "signal, waiting host: ended in $took s"

# Connecting.
start_join "$quiet_port" 100
wait_for_exit "$join_pid" 15 "a join nobody answers still runs"
[ "$status" -eq 3 ] || fail "a join nobody answers exited with $status, not 3"
grep -q "nobody answered at 127.0.0.1:$quiet_port" join.err || fail "$(cat join.err)"
echo "connecting, nobody there: ended in $took s"

# Handshaking, joiner side: the host never speaks.
"$bin/kivoro_hostile_peer" mute-host >mute.out 2>&1 &
mute_pid=$!
pids+=("$mute_pid")
for _ in $(seq 50); do
    grep -q "listening" mute.out && break
    sleep 0.1
done
mute_port=$(sed -n 's/listening on port \([0-9]*\)/\1/p' mute.out)
[ -n "$mute_port" ] || fail "the mute host did not start: $(cat mute.out)"
start_join "$mute_port" 100
wait_for_exit "$join_pid" 20 "a join to a host that never speaks still runs"
[ "$status" -eq 3 ] || fail "a join to a mute host exited with $status, not 3"
grep -q "answered but never started the match" join.err || fail "$(cat join.err)"
echo "handshaking, the host never speaks: ended in $took s"
kill "$mute_pid"

# Handshaking, host side: a mute client first, then the real player.
start_host 120
"$bin/kivoro_hostile_peer" mute-client "$port" >mute.out 2>&1 &
pids+=($!)
sleep 0.2
start_join "$port" 120
wait_for_exit "$join_pid" 20 "the real player's match did not end"
[ "$status" -eq 0 ] || fail "the real player exited with $status: $(cat join.err)"
wait_for_exit "$host_pid" 5 "the host did not end after the real player"
[ "$status" -eq 0 ] || fail "the host exited with $status: $(cat host.err)"
grep -q "let a client go: a client sent no handshake in time" host.err ||
    fail "the host said nothing of the mute client: $(cat host.err)"
[ "$(cat host.out)" = "$(cat join.out)" ] || fail "the two sides' final lines differ"

# Playing: the joiner killed outright.
start_host 1000000
start_join "$port" 1000000
wait_for_play
kill -9 "$join_pid"
wait_for_exit "$host_pid" 15 "the host still runs after its opponent was killed"
[ "$status" -eq 3 ] || fail "the host exited with $status, not 3: $(cat host.err)"
grep -q "connection lost" host.err || fail "$(cat host.err)"
echo "playing, the other side killed: ended in $took s"
rm -f ./*.kvr*

# Ending: the host told to stop just as its joiner is killed.
start_host 1000000
start_join "$port" 1000000
wait_for_play
kill -9 "$join_pid"
kill -TERM "$host_pid"
wait_for_exit "$host_pid" 5 "a stopping host whose opponent was killed still runs"
[ "$status" -eq 143 ] || fail "the stopping host exited with $status, not 143"
echo "ending, the other side killed: ended in $took s"
rm -f ./*.kvr*

# SIGTERM to a joiner mid-match: it ends at once; the host hears it leave.
start_host 1000000
start_join "$port" 1000000
wait_for_play
kill -TERM "$join_pid"
wait_for_exit "$join_pid" 5 "a joiner did not end on SIGTERM"
[ "$status" -eq 143 ] || fail "the joiner exited with $status on SIGTERM, not 143"
echo "signal, joiner mid-match: ended in $took s"
wait_for_exit "$host_pid" 5 "the host did not end after the joiner stopped"
[ "$status" -eq 0 ] || fail "the host exited with $status: $(cat host.err)"
grep -q "Melsar ended the match" host.err || fail "$(cat host.err)"
echo "$test_name: ok"
