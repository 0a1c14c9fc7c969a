#!/usr/bin/env bash
# Two real kivoro processes play a headless match on 127.0.0.1 over a bad link
# (each side holds its packets 75 ms and drops a fifth of them): both end on
# the same final line, that of the offline run of the same scripts with every
# byte applied the input delay late, and both replays verify to it. Also: a
# bad script line is named and refused with the bad-options status.
set -euo pipefail
bin=$1
frames=${2:-1200}
delay=2
test_name=online_headless
. "$(dirname "$0")/online_session.sh"

cd "$work"
write_script host.txt "$frames" 0
write_script join.txt "$frames" 1

bad=(--net-delay 75 --net-loss 20)
"$bin/kivoro" --host 0 --headless --frames "$frames" --script host.txt --record host.kvr \
    "${bad[@]}" >host.out 2>host.err &
host_pid=$!
pids+=("$host_pid")
wait_for_port host.err
"$bin/kivoro" --join "127.0.0.1:$port" --headless --frames "$frames" --script join.txt \
    --record join.kvr "${bad[@]}" >join.out 2>join.err &
join_pid=$!
pids+=("$join_pid")
# The match takes some 8 s.
wait_for_exit "$join_pid" 60 "the joiner finished"
[ "$status" -eq 0 ] || fail "the joiner exited with $status: $(cat join.err)"
wait_for_exit "$host_pid" 20 "the host finished, after the joiner,"
[ "$status" -eq 0 ] || fail "the host exited with $status: $(cat host.err)"

host_line=$(cat host.out)
join_line=$(cat join.out)
case "$host_line" in
    "final: $frames "*) ;;
    *) fail "the host printed no final line for $frames frames: '$host_line'" ;;
esac
[ "$host_line" = "$join_line" ] || fail "host and joiner differ: '$host_line' / '$join_line'"
grep -q "rollbacks" host.err || fail "the host told nothing of its link: $(cat host.err)"

# Offline: frame f runs with both players' bytes read at frame f - delay.
{
    for _ in $(seq "$delay"); do echo "0 0"; done
    paste -d ' ' host.txt join.txt | head -n $((frames - delay))
} >offline.txt
"$bin/kivoro_replay" make offline.txt offline.kvr || fail "kivoro_replay make failed"
offline_line=$("$bin/kivoro_replay" verify offline.kvr | tail -n 1)
[ "$host_line" = "$offline_line" ] || fail "online '$host_line', offline '$offline_line'"
# The world must have moved: a fighter died, so the match cannot agree by
# standing still.
read -r _ _ _ _ _ _ _ deaths1 _ _ _ _ _ deaths2 _ <<<"$host_line"
[ $((deaths1 + deaths2)) -gt 0 ] || fail "nobody died: the scripts do not fight ('$host_line')"

for side in host join; do
    verified=$("$bin/kivoro_replay" verify "$side.kvr") ||
        fail "the $side's replay does not verify: $verified"
    [ "$(tail -n 1 <<<"$verified")" = "$host_line" ] ||
        fail "the $side's replay ends elsewhere: $verified"
done

# A script line that is no byte: named with its number, nothing played.
printf '1\n2\n300\n' >bad.txt
status=0
"$bin/kivoro" --host 0 --headless --frames 10 --script bad.txt >bad.out 2>bad.err || status=$?
[ "$status" -eq 2 ] || fail "a bad script exited with $status, not 2"
grep -q "line 3" bad.err || fail "the bad line is not named: $(cat bad.err)"
echo "$test_name: ok ($host_line)"
