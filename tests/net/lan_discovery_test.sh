#!/usr/bin/env bash
# Games found on the network between two programs: a waiting headless kivoro
# host and kivoro_lan_probe, the discovery client the join page uses.
# - On loopback: the host is found through its broadcast address
#   (127.255.255.255) and over IPv6 (::1) when the machine has it, playable,
#   with its name and port; a probe of another version finds it not playable;
#   the address found is joined and the match played to its end.
# - In two network namespaces joined by a veth pair, when this machine lets
#   the test make them (unshare -rn, ip, nsenter): the host on the default
#   port is found by the plain IPv4 broadcast and by the IPv6 multicast alone,
#   at its address on the veth, and joined from the other namespace.
# Waits are limited many times over what they take (a guard against a hang);
# the times are printed.
set -euo pipefail
bin=$1
test_name=lan_discovery
. "$(dirname "$0")/../online/online_session.sh"
cd "$work"
frames=240
write_script host.txt "$frames" 0
write_script join.txt "$frames" 1

# start_host [COMMAND PREFIX...]: a waiting host named Ann; sets host_pid and port.
start_host() {
    "$@" "$bin/kivoro" --host "${host_port:-0}" --headless --frames "$frames" \
        --script host.txt --name Ann >host.out 2>host.err &
    host_pid=$!
    pids+=("$host_pid")
    wait_for_port host.err
}

# probe EXPECTED ARGS...: the probe finds one game, whose line matches the
# extended pattern EXPECTED; sets `found` (its ADDRESS:PORT).
probe() {
    local expected=$1
    shift
    local started
    started=$(date +%s%N)
    "$bin/kivoro_lan_probe" --seconds 10 "$@" >probe.out 2>probe.err ||
        fail "probe $*: nothing found: $(cat probe.err); host: $(cat host.err)"
    echo "$test_name: probe $*: $(cat probe.out) ($((($(date +%s%N) - started) / 1000000)) ms)"
    [ "$(wc -l <probe.out)" -eq 1 ] || fail "probe $*: not one game: $(cat probe.out)"
    grep -Eq "^game $expected\$" probe.out || fail "probe $*: '$(cat probe.out)' is not '$expected'"
    found=$(awk '{print $3}' probe.out)
}

# join_found [COMMAND PREFIX...]: joins the game found and plays the match
# to its end on both sides.
join_found() {
    "$@" "$bin/kivoro" --join "$found" --headless --frames "$frames" --script join.txt \
        >join.out 2>join.err &
    local join_pid=$!
    pids+=("$join_pid")
    wait_for_exit "$join_pid" 60 "the joiner of $found finished"
    [ "$status" -eq 0 ] || fail "the joiner exited with $status: $(cat join.err)"
    wait_for_exit "$host_pid" 20 "the host finished"
    [ "$status" -eq 0 ] || fail "the host exited with $status: $(cat host.err)"
    [ "$(cat host.out)" = "$(cat join.out)" ] || fail "host and joiner differ"
}

version=$(awk '/^project\(kivoro VERSION/ {print $3}' "$(dirname "$0")/../../CMakeLists.txt")
game="Ann [0-9.]+:[0-9]+ version $version protocol [0-9]+"

if [ "${2:-}" = namespaces ]; then
    # Here in a user and network namespace of our own: the host's namespace
    # is a sleeper's, one veth end in each.
    ip link set lo up || exit 77
    ip link add veth0 type veth peer name veth1 || exit 77
    unshare -n sleep 600 &
    far=$!
    pids+=("$far")
    for _ in $(seq 100); do
        [ "$(readlink /proc/$far/ns/net)" != "$(readlink /proc/self/ns/net)" ] && break
        sleep 0.05
    done
    ip link set veth1 netns "$far" || exit 77
    # No duplicate address detection: the link-local addresses are usable
    # at once, not a second or two later.
    bring_up='echo 0 >/proc/sys/net/ipv6/conf/$0/accept_dad 2>/dev/null || true
              ip link set lo up && ip addr add $1/24 broadcast + dev $0 && ip link set $0 up'
    sh -c "$bring_up" veth0 10.77.0.1 || exit 77
    nsenter -t "$far" -n sh -c "$bring_up" veth1 10.77.0.2 || exit 77
    host_port=47700
    start_host nsenter -t "$far" -n
    probe "Ann 10.77.0.2:47700 version $version protocol [0-9]+ playable via ipv4"
    if ip -6 addr show dev veth0 | grep -q fe80; then
        probe "Ann 10.77.0.2:47700 version $version protocol [0-9]+ playable via ipv6" \
            --no-broadcast
    else
        echo "$test_name: no IPv6 on the veth pair: the multicast is not tried"
    fi
    join_found
    kill "$far"
    wait "$far" 2>/dev/null || true
    echo "$test_name: found and joined across two network namespaces"
    exit 0
fi

# Loopback.
start_host
targets=(--port "$port" --no-broadcast --no-multicast --target 127.255.255.255)
probe "Ann 127.0.0.1:$port version $version protocol [0-9]+ playable via ipv4" "${targets[@]}"
if grep -q '^0\{31\}1 ' /proc/net/if_inet6 2>/dev/null; then
    probe "$game playable via ipv6" --port "$port" --no-broadcast --no-multicast --target ::1
else
    echo "$test_name: no IPv6 loopback here: IPv6 is not tried"
fi
probe "Ann 127.0.0.1:$port version $version protocol [0-9]+ other-version via ipv4" \
    "${targets[@]}" --version 0.9
probe "Ann 127.0.0.1:$port version $version protocol [0-9]+ playable via ipv4" \
    --port "$port" --no-broadcast --no-multicast --target 127.0.0.1
join_found

# Two namespaces, when this machine lets the test make them.
if command -v ip >/dev/null && command -v nsenter >/dev/null && unshare -rn true 2>/dev/null; then
    status=0
    unshare -rn bash "$0" "$bin" namespaces || status=$?
    if [ "$status" -eq 77 ]; then
        echo "$test_name: the namespaces could not be joined: only loopback was tried"
    elif [ "$status" -ne 0 ]; then
        fail "across namespaces: status $status"
    fi
else
    echo "$test_name: no network namespaces for this user here: only loopback was tried"
fi
echo "$test_name: ok"
