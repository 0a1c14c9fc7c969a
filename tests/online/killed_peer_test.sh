#!/usr/bin/env bash
# A headless joiner killed outright (SIGKILL: no goodbye reaches the host) in
# the middle of a match: the host ends, once its 5 s silence limit is past,
# with the other-side status (3) and says the connection was lost. The time it
# took is printed; a host still running after 30 s fails, as hung. The replay
# the killed joiner left unfinished names the host it played.
set -euo pipefail
bin=$1
test_name=online_killed_peer
. "$(dirname "$0")/online_session.sh"

cd "$work"
frames=1000000
write_script host.txt 600 0
write_script join.txt 600 1
"$bin/kivoro" --host 0 --headless --frames "$frames" --script host.txt --record host.kvr \
    --name Torvik >host.out 2>host.err &
host_pid=$!
pids+=("$host_pid")
wait_for_port host.err
"$bin/kivoro" --join "127.0.0.1:$port" --headless --frames "$frames" --script join.txt \
    --record join.kvr >join.out 2>join.err &
join_pid=$!
pids+=("$join_pid")
# Well into the match: the host's replay has frames on disk (it flushes every
# 30 frames).
for _ in $(seq 100); do
    [ -n "$(find . -name 'host.kvr.*.part' -size +200c)" ] && break
    sleep 0.1
done
[ -n "$(find . -name 'host.kvr.*.part' -size +200c)" ] || fail "the match did not start"
kill -0 "$host_pid" 2>/dev/null || fail "the host ended early: $(cat host.err)"
kill -9 "$join_pid"
wait "$join_pid" 2>/dev/null || true
wait_for_exit "$host_pid" 30 "the host ended, once its opponent was killed,"
[ "$status" -eq 3 ] || fail "the host exited with $status, not 3: $(cat host.err)"
grep -q "connection lost" host.err || fail "the host did not say so: $(cat host.err)"
part=$(find . -name 'join.kvr.*.part' | head -n 1)
[ -n "$part" ] || fail "the killed joiner left no replay"
"$bin/kivoro_replay" info "$part" | grep -q "online against Torvik" ||
    fail "the unfinished replay does not name the host: $("$bin/kivoro_replay" info "$part" 2>&1)"
echo "$test_name: ok"
