# The path trace, end to end: a chain of namespaces around the run's own, which becomes the
# client: client - router 1 - router 2 - target, each link a /30 of 198.51.100.0/24, which
# exists only inside them (../shared/WINE.md says how such a chain routes).
CHAIN_NS=(tw-r1-$$ tw-r2-$$ tw-t-$$)
TARGET=198.51.100.10

in_chain() { ip netns exec "${CHAIN_NS[$1]}" "${@:2}"; } # 0, 1, 2: router 1, router 2, target

make_chain() {
    local ns i=0 link
    for ns in "${CHAIN_NS[@]}"; do
        ip netns add "$ns" && in_chain $((i++)) ip link set lo up || return 1
    done
    # name ns address peer peer-ns peer-address, for each link.
    for link in "c0 $E2E_NS .2 r1a ${CHAIN_NS[0]} .1" "r1b ${CHAIN_NS[0]} .5 r2a ${CHAIN_NS[1]} .6" \
        "r2b ${CHAIN_NS[1]} .9 t0 ${CHAIN_NS[2]} .10"; do
        set -- $link
        ip link add "$1" netns "$2" type veth peer name "$4" netns "$5" || return 1
        ip -n "$2" addr add "198.51.100$3/30" dev "$1" && ip -n "$2" link set "$1" up &&
            ip -n "$5" addr add "198.51.100$6/30" dev "$4" && ip -n "$5" link set "$4" up || return 1
    done
    ip -n "$E2E_NS" route add default via 198.51.100.1 &&
        ip -n "${CHAIN_NS[0]}" route add 198.51.100.8/30 via 198.51.100.6 &&
        ip -n "${CHAIN_NS[1]}" route add 198.51.100.0/30 via 198.51.100.5 &&
        ip -n "${CHAIN_NS[2]}" route add default via 198.51.100.9 &&
        in_chain 0 sysctl -qw net.ipv4.ip_forward=1 && in_chain 1 sysctl -qw net.ipv4.ip_forward=1
}

remove_chain() { # also from cleanup, when a case fails on the way
    local ns pid
    for ns in "${CHAIN_NS[@]}"; do
        ip netns list 2>/dev/null | grep -qw "$ns" || continue
        for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -9 "$pid" 2>/dev/null; done
        ip netns del "$ns"
    done
}

# Waits for EVENT in the status line, then for FINDING among the History window's events.
expect_finding() { # event finding result
    local shown
    expect_status "$TARGET$1" 25000 || return
    for _ in 1 2 3 4 5; do
        shown=$(drv history "History - $TARGET" 3000) && grep -qF "$2" <<<"$shown" && return
    done
    problem "no \"$2\" in History's events: $(grep event: <<<"$shown" | head -n 6 | tr '\n' ' ')"
}

case_path_trace() {
    case_results trace_asked trace_host_silent trace_router_stops trace_port_closed \
        trace_never_stalls
    make_chain || { problem "cannot make the chain of namespaces"; return; }
    watch_settings
    launch "$E2E_EXE" "$TARGET" && expect_status "$TARGET is alive!" 10000 || return
    drv command 32773 >/dev/null # History...
    drv command 32835 >/dev/null # Find where it stops, asked while alive
    expect_finding " is alive!" "the host answers echo, 3 hops away"
    result trace_asked
    start_in_ns stalls wine "$E2E_DRIVER" stalls 30000 50
    in_chain 2 sysctl -qw net.ipv4.icmp_echo_ignore_all=1
    expect_finding " has died!" "the path ends after hop 2 (198.51.100.6)"
    result trace_host_silent

    in_chain 2 sysctl -qw net.ipv4.icmp_echo_ignore_all=0
    expect_status "$TARGET is alive!" 10000 && in_chain 1 sysctl -qw net.ipv4.ip_forward=0
    expect_finding " has died!" "the path ends after hop 1 (198.51.100.1)"
    result trace_router_stops
    wait "${E2E_BACKGROUND[stalls]}" || problem "a trace stalled the window"
    note "stalls during two traces: $(tail -n 1 "$E2E_WORK/stalls.out" | tr -d '\r')"
    result trace_never_stalls

    in_chain 1 sysctl -qw net.ipv4.ip_forward=1
    E2E_NS=${CHAIN_NS[2]} start_in_ns target python3 -c 'import socket, time
s = socket.socket(); s.bind(("", 3389)); s.listen(); time.sleep(60)'
    enter_host "$TARGET:3389"
    expect_status "$TARGET:3389 is alive!" 10000 && stop_in_ns target
    TARGET=$TARGET:3389 expect_finding " has died!" "the host answers echo; port 3389 does not"
    result trace_port_closed
    remove_chain
}
