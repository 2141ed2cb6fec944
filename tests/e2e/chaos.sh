#!/usr/bin/env bash
# A chaos benchmark of the real tarnwell.exe under Wine. It prints figures and judges nothing.
#
# In a private network namespace Tarnwell watches a name served round-robin (its own DNS server
# answers 127.0.0.2, 127.0.0.3 and 127.0.0.4, each answer starting one further on, and ::1 for
# the port and web ways' lookups) once a second, one way after the other: its echo, the port
# of a small web server on all of those addresses, and that server's page. Meanwhile, one at a
# time and with the service answering 12 s between them, it makes
#   - disturbances that are no silence of the service: the name server silent for 7 to 20 s,
#     the program stopped with its Wine server (SIGSTOP, then SIGCONT: a paused machine) for 5
#     to 14 s, Options OK (which starts the check timer again);
#   - real silences of 14 to 22 s, longer than the 10 s silence limit: for echo the host's
#     replies off; for the port and the page reset connections and dropped SYNs (nftables), and
#     for the page a 503 as well.
# From the event log (each line to the second) it counts, per way, false breaks (a break with no
# real silence under way, one less than EARLY s into it, or one ended more than SLACK s before
# it: a silence is told after the 10 s silence limit, never before) and missed breaks (a silence
# with no break during it or up to SLACK s after it), and the makes that came within 10 s of a
# silence's end, and prints a table. Each way runs for SECONDS and stops by itself; every
# helper it starts ends with it, also on Ctrl-C.
#
#   tests/e2e/chaos.sh [SECONDS [WAYS]]   per way, default 180; WAYS default "echo port web"
#
# CHAOS_SEED fixes the draw of lengths and kinds (default: the process id, printed). Needs root
# and the Windows build (tarnwell.exe, tarnwell_driver.exe); CHAOS_EXE names another build.
set -uo pipefail

DURATION=${1:-180}
WAYS=${2:-echo port web}
SEED=${CHAOS_SEED:-$$}
GAP=12   # the service answers this long after each disturbance or silence
SLACK=3  # a break may come this long after the silence it tells of
EARLY=8  # and no sooner than this into it (the silence limit, less a period and a second)
NAME=dual-rr.test
PORT=8080

BENCH=chaos EXE=${CHAOS_EXE:-}
source "$(dirname "${BASH_SOURCE[0]}")/bench.sh"
WEB_STATUS=$E2E_WORK/web-status

[[ $DURATION =~ ^[0-9]+$ && $DURATION -ge 60 ]] || {
    echo "usage: $0 [SECONDS [WAYS]] (60 or more; default 180; ways: echo port web)" >&2
    exit 2
}
bench_begin 2 1
STOPPED=""
resume() { [[ -z $STOPPED ]] || kill -CONT $STOPPED 2>/dev/null; STOPPED=""; }
trap 'resume; bench_finish' EXIT
trap 'echo; echo "chaos: interrupted, cleaning up" >&2; resume; bench_finish; trap - EXIT; exit 130' INT TERM
echo 200 >"$WEB_STATUS"
# One server for the port and the page, on every address (IPv6 and IPv4 alike).
start_in_ns web python3 -c 'import http.server, socket, socketserver, sys
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(int(open(sys.argv[1]).read()))
        self.send_header("Content-Length", "0")
        self.end_headers()
    def log_message(self, *args): pass
class Server(http.server.ThreadingHTTPServer):
    address_family, daemon_threads = socket.AF_INET6, True
    def server_bind(self):
        self.socket.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 0)
        socketserver.TCPServer.server_bind(self)
Server(("::", int(sys.argv[2])), Handler).serve_forever()' "$WEB_STATUS" $PORT
RANDOM=$SEED

between() { echo $(($1 + RANDOM % ($2 - $1 + 1))); } # low high: a whole number of seconds
stamp() { date +%s.%N; }

# --- what is done to the service and to the program -------------------------------------------

# A real silence of the way's service: KIND on, for SECONDS, off.
silence() { # kind seconds
    local syn='tcp flags & (syn | ack) == syn'
    case $1 in
    echo-off) silence_host 1 ;;
    reset) in_ns nft add rule inet chaos input tcp dport $PORT "$syn" reject with tcp reset ;;
    drop-syn) in_ns nft add rule inet chaos input tcp dport $PORT "$syn" drop ;;
    503) echo 503 >"$WEB_STATUS" ;;
    esac
    sleep "$2"
    silence_host 0
    in_ns nft flush chain inet chaos input
    echo 200 >"$WEB_STATUS"
}

# A disturbance that leaves the service answering.
disturb() { # kind seconds
    case $1 in
    dns-outage)
        dns_mode silent
        sleep "$2"
        dns_mode rotate
        ;;
    stop)
        STOPPED="$(namespace_pids tarnwell.exe) $(namespace_pids wineserver)"
        kill -STOP $STOPPED
        sleep "$2"
        resume
        ;;
    options) drv options-period 1 5000 >/dev/null || echo "chaos: Options OK did not go through" >&2 ;;
    esac
}

# --- one way ----------------------------------------------------------------------------------

run_way() { # way host silence-kinds...
    local way=$1 host=$2
    shift 2
    local silences=("$@") disturbances=(dns-outage stop options) events=$E2E_WORK/$way-events.txt
    local n=0 kind seconds from deadline
    : >"$events"
    fresh_case
    dns_mode rotate
    in_ns nft add table inet chaos && in_ns nft add chain inet chaos input \
        '{ type filter hook input priority 0; }' || give_up "nftables refused the table"
    watch_settings
    launch "$E2E_EXE" "$host" && expect_status "$host is alive!" 15000
    sleep $GAP
    deadline=$(($(date +%s) + DURATION))
    while (($(date +%s) + 40 < deadline)); do
        # Disturbances and silences in turn, each kind in turn, lengths drawn.
        if ((n % 2 == 0)); then
            kind=${disturbances[$((n / 2 % 3))]}
            case $kind in dns-outage) seconds=$(between 7 20) ;; stop) seconds=$(between 5 14) ;; *) seconds=0 ;; esac
            from=$(stamp)
            disturb "$kind" "$seconds"
            echo "$from $(stamp) disturbance $kind" >>"$events"
        else
            kind=${silences[$((n / 2 % ${#silences[@]}))]}
            seconds=$(between 14 22)
            from=$(stamp)
            silence "$kind" "$seconds"
            echo "$from $(stamp) silence $kind" >>"$events"
        fi
        n=$((n + 1))
        sleep $GAP
    done
    stop_program
    log_seconds "$E2E_LOG" >"$E2E_WORK/$way-log.txt"
    report_way "$way" "$host"
}

# One row of the table: the events, the breaks and makes logged (a log time is cut to the
# second: an event at T came before T + 1), and the verdicts; then a line per false or missed
# break.
report_way() { # way host
    local way=$1 host=$2
    sort -n "$E2E_WORK/$way-events.txt" "$E2E_WORK/$way-log.txt" | awk -v way="$way" \
        -v died="$host has died!" -v alive="$host is alive!" -v slack=$SLACK -v early=$EARLY '
        $3 == "silence" { s[++ns] = $1; e[ns] = $2; what[ns] = $4; kinds[$4]++; next }
        $3 == "disturbance" { kinds[$4]++; ds[++nd] = $1; dk[nd] = $4; next }
        { text = $0; sub(/^[^ ]* /, "", text) }
        text == died { b[++nb] = $1 }
        text == alive { m[++nm] = $1 }
        END {
            for (i = 1; i <= nb; i++) {
                real = 0
                for (j = 1; j <= ns; j++) if (b[i] + 1 > s[j] + early && b[i] <= e[j] + slack) { real = 1; told[j] = 1 }
                if (real) continue
                false_breaks++
                for (d = nd; d > 1 && ds[d] > b[i] + 1; d--) {}
                notes = notes sprintf("  %s: false break at %d, %.0f s after a %s began\n", way, b[i], b[i] - ds[d], dk[d])
            }
            for (j = 1; j <= ns; j++) {
                if (!told[j]) { missed++; notes = notes sprintf("  %s: missed break, %s silence of %.0f s at %.1f\n", way, what[j], e[j] - s[j], s[j]) }
                for (i = 1; i <= nm; i++) if (m[i] + 1 > e[j] && m[i] <= e[j] + 10) { made++; break }
            }
            list = ""
            for (k in kinds) list = list sprintf("%s=%d,", k, kinds[k])
            printf "%s %d %d %d %d %d %d %s\n", way, ns, nd, nb, false_breaks + 0,
                missed + 0, made + 0, substr(list, 1, length(list) - 1) >"/dev/stderr"
            printf "%s", notes
        }' 2>>"$E2E_WORK/table.txt" >>"$E2E_WORK/notes.txt"
}

# --- the run ----------------------------------------------------------------------------------

echo "chaos: $NAME watched once a second, ${DURATION} s per way ($WAYS), seed $SEED;" \
    "namespace $E2E_NS"
for way in $WAYS; do
    echo "chaos: $way..."
    case $way in
    echo) run_way echo "$NAME" echo-off ;;
    port) run_way port "$NAME:$PORT" reset drop-syn ;;
    web) run_way web "http://$NAME:$PORT/health" 503 reset drop-syn ;;
    *) give_up "no way \"$way\" (echo, port, web)" ;;
    esac
done

echo
echo "Breaks logged, against the silences made (a silence is 14-22 s, the silence limit 10 s)"
{
    echo "way silences disturbances breaks false missed makes<=10s kinds"
    cat "$E2E_WORK/table.txt"
} | column -t | sed 's/^/  /'
[[ -s $E2E_WORK/notes.txt ]] && cat "$E2E_WORK/notes.txt"
echo "Files: $E2E_WORK (<way>-events.txt, <way>-log.txt)"
