#!/usr/bin/env bash
# Two real kivoro processes play headless matches on 127.0.0.1 over bad links:
# each side holding its packets 75 ms and dropping a fifth of its inputs, then
# 500 ms and a fifth. Every control byte value is in the scripts. Both sides
# end with status 0 on the same final line, that of the offline run of the
# same scripts with every byte applied the input delay late, and both replays
# verify to it. Also: a bad script line is named and refused, and so is a
# script that is no regular file, each with the bad-options status; and a
# side that cannot find the blast shapes says so.
set -euo pipefail
bin=$1
frames=${2:-1200}
delay=2
test_name=online_headless
. "$(dirname "$0")/online_session.sh"

cd "$work"

# play_match NAME FRAMES NET_DELAY NET_LOSS: plays one match, checks both
# sides against each other, the offline run and their replays; sets `line`.
play_match() {
    local name=$1 count=$2 net_delay=$3 net_loss=$4
    local bad=(--net-delay "$net_delay" --net-loss "$net_loss")
    write_script "$name-host.txt" "$count" 0
    write_script "$name-join.txt" "$count" 1
    "$bin/kivoro" --host 0 --headless --frames "$count" --script "$name-host.txt" \
        --record "$name-host.kvr" "${bad[@]}" >"$name-host.out" 2>"$name-host.err" &
    local host_pid=$!
    pids+=("$host_pid")
    wait_for_port "$name-host.err"
    local started
    started=$(date +%s%N)
    "$bin/kivoro" --join "127.0.0.1:$port" --headless --frames "$count" \
        --script "$name-join.txt" --record "$name-join.kvr" "${bad[@]}" \
        >"$name-join.out" 2>"$name-join.err" &
    local join_pid=$!
    pids+=("$join_pid")
    wait_for_exit "$join_pid" 60 "$name: the joiner finished"
    [ "$status" -eq 0 ] || fail "$name: the joiner exited with $status: $(cat "$name-join.err")"
    wait_for_exit "$host_pid" 20 "$name: the host finished, after the joiner,"
    [ "$status" -eq 0 ] || fail "$name: the host exited with $status: $(cat "$name-host.err")"
    echo "$name: played in $((($(date +%s%N) - started) / 1000000)) ms;" \
        "$(tail -n 1 "$name-host.err")"

    line=$(cat "$name-host.out")
    local join_line
    join_line=$(cat "$name-join.out")
    case "$line" in
        "final: $count "*) ;;
        *) fail "$name: the host printed no final line for $count frames: '$line'" ;;
    esac
    [ "$line" = "$join_line" ] || fail "$name: host and joiner differ: '$line' / '$join_line'"
    grep -q "rollbacks" "$name-host.err" || fail "$name: the host told nothing of its link"

    # Offline: frame f runs with both players' bytes read at frame f - delay.
    {
        for _ in $(seq "$delay"); do echo "0 0"; done
        paste -d ' ' "$name-host.txt" "$name-join.txt" | head -n $((count - delay))
    } >"$name-offline.txt"
    "$bin/kivoro_replay" make "$name-offline.txt" "$name-offline.kvr" ||
        fail "$name: kivoro_replay make failed"
    local offline_line
    offline_line=$("$bin/kivoro_replay" verify "$name-offline.kvr" | tail -n 1)
    [ "$line" = "$offline_line" ] || fail "$name: online '$line', offline '$offline_line'"

    local side verified
    for side in host join; do
        verified=$("$bin/kivoro_replay" verify "$name-$side.kvr") ||
            fail "$name: the $side's replay does not verify: $verified"
        [ "$(tail -n 1 <<<"$verified")" = "$line" ] ||
            fail "$name: the $side's replay ends elsewhere: $verified"
    done
}

play_match bad "$frames" 75 20
# The world must have moved: a fighter died, so the match cannot agree by
# standing still.
read -r _ _ _ _ _ _ _ deaths1 _ _ _ _ _ deaths2 _ <<<"$line"
[ $((deaths1 + deaths2)) -gt 0 ] || fail "nobody died: the scripts do not fight ('$line')"
first_line=$line
# Half a second each way holds more packets than the link's queues once did,
# and the time limits stretch to match: fewer frames, as each takes a round
# trip of a second to confirm.
play_match slow 300 500 20

# Scripts refused with the bad-options status, in one line naming the file:
# a line that is no byte, a folder, a device without end.
printf '1\n2\n300\n' >bad.txt
mkdir folder
for script in bad.txt folder /dev/zero; do
    status=0
    "$bin/kivoro" --host 0 --headless --frames 10 --script "$script" >refused.out \
        2>refused.err || status=$?
    [ "$status" -eq 2 ] || fail "--script $script exited with $status, not 2: $(cat refused.err)"
    [ "$(wc -l <refused.err)" -eq 1 ] || fail "--script $script: not one line: $(cat refused.err)"
    grep -q -- "--script $script: " refused.err || fail "--script $script: $(cat refused.err)"
done
grep -q "line 3" <("$bin/kivoro" --host 0 --headless --frames 10 --script bad.txt 2>&1) ||
    fail "the bad line is not named"

# Without BLAST.BMP a side plays another world than one with it: it says so,
# naming where it looked, and goes on waiting.
mkdir -p noart/bin
cp "$bin/kivoro" noart/bin/
(cd noart && exec bin/kivoro --host 0 --headless --frames 10 --script ../bad-host.txt \
    >noart.out 2>noart.err) &
pids+=("$!")
wait_for_port noart/noart.err
grep -q "BLAST.BMP was not found (looked in .*noart.*), so the blast shapes carve nothing" \
    noart/noart.err || fail "no word of the missing art: $(cat noart/noart.err)"
echo "$test_name: ok ($first_line; $line)"
