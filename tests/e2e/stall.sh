#!/usr/bin/env bash
# A benchmark of how long the watch window keeps its messages waiting while the name server is
# silent. It prints figures and judges nothing.
#
# The real tarnwell.exe watches a host name (check every second) inside a private network
# namespace whose only name server is tests/e2e/dns_server.py on 127.0.0.1, with the resolver's
# usual patience (5 s, two tries). A second program (the test driver) sends the window WM_NULL
# every 100 ms and times each answer:
#   1. start: the program starts with the name while the name server is silent (START s);
#   2. watching: the name server answers until the host is alive, then falls silent (SECONDS s);
#   3. port: the program watches 127.0.0.1:3389 while nftables drops every SYN to the port, so
#      that each check tick starts a connection that never completes (PORT s);
#   4. web: the program watches http://127.0.0.1:8080/ until it is alive, then nftables drops
#      every SYN to its server, so that each check's GET waits until its deadline (WEB s).
#
#   tests/e2e/stall.sh [SECONDS [START [PORT [WEB]]]]     default 60, 20, 20 and 20
#
# Needs root (the namespace) and the Windows build in TARNWELL_BUILD_DIR or build/; STALL_EXE
# names another tarnwell.exe to measure (an older build, say).
set -uo pipefail

DURATION=${1:-60}
START_DURATION=${2:-20}
PORT_DURATION=${3:-20}
WEB_DURATION=${4:-20}
PORT_HOST=127.0.0.1:3389
WEB_HOST=http://127.0.0.1:8080/
NAME=watched.test

BENCH=stall EXE=${STALL_EXE:-}
source "$(dirname "${BASH_SOURCE[0]}")/bench.sh"
bench_begin 5 2

# The driver's stall measurement, which outlasts drv's usual time limit.
measure_stalls() { DRV_SECONDS=$(($1 + 60)) drv stalls $(($1 * 1000)); } # seconds

report() { # phase driver-output
    local samples worst mean over blocked
    read -r _ samples _ worst _ mean _ over _ blocked <<<"$2"
    printf '  %-9s worst %6s ms   mean %7s ms   over 50 ms: %4s of %4s answers   window blocked %5s %% of the time\n' \
        "$1" "${worst:--}" "${mean:--}" "${over:--}" "${samples:--}" "${blocked:--}"
}

echo "stall: tarnwell.exe watching $NAME (check every 1 s); silent name server, resolver 5 s x 2;" \
    "WM_NULL every 100 ms from a second process"
watch_settings

# 1. A start while the name server is silent.
dns_mode silent
launch "$E2E_EXE" "$NAME"
start_out=$(measure_stalls "$START_DURATION")
start_status=$(drv text $STATUS)
stop_program

# 2. Watching a live host when the name server falls silent.
dns_mode answer
launch "$E2E_EXE" "$NAME" && expect_status "$NAME is alive!" 20000
dns_mode silent
watch_out=$(measure_stalls "$DURATION")
watch_status=$(drv text $STATUS)
stop_program

# 3. Watching a port whose SYNs are dropped.
in_ns nft -f - <<<'table inet tw_stall {
    chain input { type filter hook input priority 0; tcp dport 3389 drop; }
}' || give_up "nftables refused the rule that drops SYNs"
launch "$E2E_EXE" "$PORT_HOST"
port_out=$(measure_stalls "$PORT_DURATION")
port_status=$(drv text $STATUS)
stop_program

# 4. Watching a web server whose SYNs are dropped.
start_web_server 8080 || give_up "the web server did not start"
launch "$E2E_EXE" "$WEB_HOST" && expect_status "$WEB_HOST is alive!" 10000
in_ns nft add rule inet tw_stall input tcp dport 8080 drop || give_up "nftables refused the rule"
web_out=$(measure_stalls "$WEB_DURATION")
web_status=$(drv text $STATUS)
stop_program

echo
echo "Answer times of the watch window:"
report "start" "$start_out"
echo "            status after ${START_DURATION} s: \"$start_status\""
report "watching" "$watch_out"
echo "            status after ${DURATION} s: \"$watch_status\""
report "port" "$port_out"
echo "            status after ${PORT_DURATION} s (SYNs to $PORT_HOST dropped): \"$port_status\""
report "web" "$web_out"
echo "            status after ${WEB_DURATION} s (SYNs to $WEB_HOST dropped): \"$web_status\""
