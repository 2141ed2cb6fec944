#!/usr/bin/env bash
# A chaos benchmark of the real tarnwell.exe under Wine, as README.md's "Chaos benchmark" tells:
# it prints figures and judges nothing. Tarnwell watches a name served round-robin, one way after
# the other, while the run disturbs all but the service and silences the service for real; from
# the event log it counts per way the false and missed breaks, and the makes after a silence.
#
#   tests/e2e/chaos.sh [SECONDS [WAYS]]   per way, default 180; WAYS default "echo port web"
# CHAOS_SEED fixes the draw of lengths (default: the process id, printed); CHAOS_EXE names
# another build. Needs root and the Windows build.
set -uo pipefail

DURATION=${1:-180}
WAYS=${2:-echo port web}
SEED=${CHAOS_SEED:-$$}
GAP=12   # the service answers this long after each disturbance or silence
SLACK=3  # a break may come this long after the silence it tells of
EARLY=8  # and no sooner than this into it (the silence limit, less a period and a second)
NAME=dual-rr.test
PORT=8080
# Each way: the host text it watches and the silences made to it, in turn.
declare -A HOST=([echo]=$NAME [port]=$NAME:$PORT [web]=http://$NAME:$PORT/health)
declare -A SILENCES=([echo]=echo-off [port]="reset drop-syn" [web]="503 reset drop-syn")
DISTURBANCES=(dns-outage stop options)
# The shortest and longest a disturbance lasts (s); a silence lasts 14 to 22 s.
declare -A LENGTH=([dns-outage]="7 20" [stop]="5 14" [options]="0 0")

BENCH=chaos EXE=${CHAOS_EXE:-}
source "$(dirname "${BASH_SOURCE[0]}")/bench.sh"
bench_duration 60 "[SECONDS [WAYS]] (60 or more; default 180; ways: echo port web)"
bench_begin 2 1
resume() { [[ -z ${STOPPED:-} ]] || kill -CONT $STOPPED 2>/dev/null; STOPPED=""; }
bench_finish() { resume; cleanup; stop_display; } # what bench_begin's traps call
web_status 200
# One server for the port and the page, on every address (a new namespace's IPv6 sockets take
# IPv4 as well), without the HTTP server's lookup of its own name.
start_in_ns web python3 -c 'import http.server, socket, socketserver, sys
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(int(open(sys.argv[1]).read()))
        self.send_header("Content-Length", "0")
        self.end_headers()
    def log_message(self, *args): pass
class Server(socketserver.ThreadingTCPServer):
    address_family, daemon_threads = socket.AF_INET6, True
Server(("::", int(sys.argv[2])), Handler).serve_forever()' "$E2E_WORK/web-status" $PORT
RANDOM=$SEED # drawn from in this shell only: a command substitution's draws are its own

# A disturbance or silence of KIND for SECONDS; then the service answers and nothing is paused.
act() { # kind seconds
    local syn='tcp flags & (syn | ack) == syn'
    case $1 in
    echo-off) silence_host 1 ;;
    reset) in_ns nft add rule inet chaos input tcp dport $PORT "$syn" reject with tcp reset ;;
    drop-syn) in_ns nft add rule inet chaos input tcp dport $PORT "$syn" drop ;;
    503) web_status 503 ;;
    dns-outage) dns_mode silent ;;
    stop) STOPPED="$(namespace_pids tarnwell.exe) $(namespace_pids wineserver)" && kill -STOP $STOPPED ;;
    options) drv options-period 1 5000 >/dev/null || echo "chaos: Options OK did not go through" >&2 ;;
    esac
    sleep "$2"
    resume
    silence_host 0
    in_ns nft flush chain inet chaos input
    web_status 200
    dns_mode rotate
}

# Watches the way's host for DURATION s, disturbances and silences in turn, each kind in turn,
# lengths drawn; then tells its row of the table.
run_way() { # way
    local way=$1 host=${HOST[$1]} silences=(${SILENCES[$1]}) events=$E2E_WORK/$1-events.txt
    local n=0 kind low high what from deadline
    : >"$events"
    fresh_case
    dns_mode rotate
    in_ns nft -f - <<<'table inet chaos { chain input { type filter hook input priority 0; }; }' ||
        give_up "nftables refused the table"
    watch_settings
    launch "$E2E_EXE" "$host" && expect_status "$host is alive!" 15000
    sleep $GAP
    deadline=$(($(date +%s) + DURATION))
    while (($(date +%s) + 40 < deadline)); do
        ((n % 2)) && what=silence kind=${silences[n / 2 % ${#silences[@]}]} ||
            what=disturbance kind=${DISTURBANCES[n / 2 % 3]}
        read -r low high <<<"${LENGTH[$kind]:-14 22}"
        from=$(date +%s.%N)
        act "$kind" $((low + RANDOM % (high - low + 1)))
        echo "$from $(date +%s.%N) $what $kind" >>"$events"
        n=$((n + 1))
        sleep $GAP
    done
    stop_program
    log_seconds "$E2E_LOG" >"$E2E_WORK/$way-log.txt"
    # Its row of the table from the events, the breaks and makes logged (a log time is cut to
    # the second: an event at T came before T + 1) and the verdicts; a note per false or missed
    # break.
    sort -n "$events" "$E2E_WORK/$way-log.txt" | awk -v way="$way" \
        -v died="$host has died!" -v alive="$host is alive!" -v slack=$SLACK -v early=$EARLY '
        $3 == "silence" { s[++ns] = $1; e[ns] = $2; what[ns] = $4; kinds[$4]++; next }
        $3 == "disturbance" { kinds[$4]++; ds[++nd] = $1; dk[nd] = $4; next }
        $0 == $1 " " died { b[++nb] = $1 }
        $0 == $1 " " alive { m[++nm] = $1 }
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
            printf "%s %d %d %d %d %d %d %s\n%s", way, ns, nd, nb, false_breaks + 0, missed + 0,
                made + 0, substr(list, 1, length(list) - 1), notes
        }' >>"$E2E_WORK/table.txt"
}

echo "way silences disturbances breaks false missed makes<=10s kinds" >"$E2E_WORK/table.txt"
echo "chaos: $NAME watched once a second, ${DURATION} s a way ($WAYS), seed $SEED, in $E2E_NS"
for way in $WAYS; do
    [[ -n ${HOST[$way]:-} ]] || give_up "no way \"$way\" (echo, port, web)"
    echo "chaos: $way..."
    run_way "$way"
done

echo
echo "Breaks logged, against the silences made (a silence is 14-22 s, the silence limit 10 s)"
grep -v '^  ' "$E2E_WORK/table.txt" | column -t | sed 's/^/  /'
grep '^  ' "$E2E_WORK/table.txt"
echo "Files: $E2E_WORK (<way>-events.txt, <way>-log.txt)"
