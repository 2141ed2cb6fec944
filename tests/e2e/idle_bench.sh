#!/usr/bin/env bash
# An idle benchmark of the real tarnwell.exe under Wine. It prints figures and judges nothing.
#
# Tarnwell watches an answering 127.0.0.1 every IDLE_PERIOD seconds (default 5) inside a private
# network namespace, first with its window hidden in the tray, then with it shown, the mouse
# pointer away from it. Beside it, under the same Wine and Wine server, runs an empty Win32
# program (one window and a message loop), once plain and once with a focused edit field whose
# caret blinks. Each is measured alone for SECONDS:
#   - wake-ups per second: the voluntary context switches of all the process's threads, summed
#     from /proc/<pid>/task/*/status (each one is a sleep that something ended);
#   - CPU % of one core: user and system time from /proc/<pid>/stat;
# for the program, for the Wine server, and for the other Wine processes of the run (the
# desktop with its tray, the services), which every phase has alike. Then Tarnwell, hidden,
# watches a service at the same period: the TCP port of a local web server (127.0.0.1:8080),
# and the same server's page (http://127.0.0.1:8080/), to compare the web way's cost with the
# port way's.
#
#   tests/e2e/idle_bench.sh [SECONDS]    measuring time per phase, default 60 (six phases)
#
# IDLE_EXE names another tarnwell.exe to measure (an older build, say). Context switches are
# the main figure: CPU % moves with whatever else runs on the machine. Needs root (the namespace
# and raw sockets) and the Windows build (tarnwell.exe, tarnwell_driver.exe and
# tarnwell_idle_window.exe) in TARNWELL_BUILD_DIR or the repository's build/.
set -uo pipefail

DURATION=${1:-60}
PERIOD=${IDLE_PERIOD:-5}
SETTLE=5
HOST=127.0.0.1
WM_TRAY_NOTIFY=1125
WM_LBUTTONDOWN=0x201

BENCH=idle EXE=${IDLE_EXE:-}
source "$(dirname "${BASH_SOURCE[0]}")/bench.sh"
EMPTY_EXE=$WIN_BUILD/tools/tarnwell_idle_window.exe
BENCH_PROGRAMS=("$EMPTY_EXE")
RESULTS=$E2E_WORK/results.txt
CLOCK_TICKS=$(getconf CLK_TCK)

bench_duration 10 "[SECONDS] (10 or more; default 60)"
bench_begin

# --- measurements --------------------------------------------------------------------------------

# "<voluntary context switches of all threads> <user + system clock ticks>" of a process.
counters_of() { # pid
    local switches ticks
    switches=$(cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^voluntary_ctxt_switches:/ { s += $2 } END { print s + 0 }')
    ticks=$(awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null)
    echo "$switches ${ticks:-0}"
}

# One line per process of the namespace: "<pid> <switches> <ticks>".
snapshot() {
    local pid
    for pid in $(ip netns pids "$E2E_NS" 2>/dev/null); do
        echo "$pid $(counters_of "$pid")"
    done
}

# Measures the namespace's processes for DURATION seconds and appends one line to RESULTS:
# the phase name, then wake-ups per second and CPU % for the program, the Wine server and the
# rest (processes that lived through the whole phase).
measure() { # phase program-pid
    local phase=$1 program=$2 server before after start end
    server=$(namespace_pids wineserver)
    before=$(snapshot)
    start=$(date +%s.%N)
    sleep "$DURATION"
    after=$(snapshot)
    end=$(date +%s.%N)
    awk -v phase="$phase" -v program="$program" -v server="$server" -v hz="$CLOCK_TICKS" \
        -v seconds="$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')" '
        NR == FNR { s0[$1] = $2; t0[$1] = $3; next }
        ($1 in s0) {
            who = $1 == program ? "p" : $1 == server ? "s" : "o"
            sw[who] += $2 - s0[$1]; tk[who] += $3 - t0[$1] }
        END {
            printf "%s", phase
            n = split("p s o", order, " ")
            for (i = 1; i <= n; i++)
                printf " %.2f %.2f", sw[order[i]] / seconds, tk[order[i]] / hz / seconds * 100
            printf "\n" }' <(echo "$before") <(echo "$after") >>"$RESULTS"
}

# Starts the empty program, measures it, and ends it again.
measure_empty() { # phase [caret]
    start_in_ns empty wine "$EMPTY_EXE" "${@:2}"
    local pid
    pid=$(namespace_pids tarnwell_idle_window.exe 10) || give_up "the empty program did not start"
    drv pointer 0 0 >/dev/null
    sleep "$SETTLE"
    echo "idle: $1 for ${DURATION} s..."
    measure "$1" "$pid"
    kill "$pid" 2>/dev/null
    stop_in_ns empty
}

# --- the run ---------------------------------------------------------------------------------------

echo "idle: $(basename "$E2E_EXE") watching $HOST every ${PERIOD} s, ${DURATION} s a phase;" \
    "namespace $E2E_NS"
measure_empty empty
measure_empty empty+caret caret

drv set-dword tarnwell CheckFrequency "$PERIOD" Hide 0 AlwaysOnTop 0 >/dev/null
# The program and its process, watching a host (or service) that answers.
launch_alive() { # host
    launch "$E2E_EXE" "$1" && expect_status "$1 is alive!" 10000
    tarnwell_pid=$(namespace_pids "$(basename "$E2E_EXE")") || give_up "cannot find tarnwell.exe's process"
    drv pointer 0 0 >/dev/null
}
launch_alive "$HOST"

# A click on the tray icon hides the window; another brings it back.
drv post $WM_TRAY_NOTIFY 0 $WM_LBUTTONDOWN >/dev/null
drv wait-visible 0 5000 || give_up "the window did not hide on a tray click"
sleep "$SETTLE"
echo "idle: Tarnwell hidden for ${DURATION} s..."
measure tarnwell-hidden "$tarnwell_pid"

drv post $WM_TRAY_NOTIFY 0 $WM_LBUTTONDOWN >/dev/null
drv wait-visible 1 5000 || give_up "the window did not come back on a tray click"
sleep "$SETTLE"
echo "idle: Tarnwell shown for ${DURATION} s..."
measure tarnwell-shown "$tarnwell_pid"
status=$(drv text $STATUS)
stop_program

# Hidden from the start, watching a service of the web server.
measure_service() { # phase host
    launch_alive "$2"
    sleep "$SETTLE"
    echo "idle: Tarnwell watching $2, hidden, for ${DURATION} s..."
    measure "$1" "$tarnwell_pid"
    stop_program
}
start_web_server 8080 || give_up "the web server did not start"
drv set-dword tarnwell Hide 1 >/dev/null
measure_service port-hidden 127.0.0.1:8080
measure_service web-hidden http://127.0.0.1:8080/

# --- the report ----------------------------------------------------------------------------------

echo
echo "Wake-ups per second (voluntary context switches, all threads) and CPU % of one core," \
    "over ${DURATION} s each; 'others' = the desktop, its tray and Wine's services."
echo "Context switches are the main figure: CPU % moves with whatever else runs on the machine."
{
    echo "phase program-wakeups/s program-CPU% server-wakeups/s server-CPU% others-wakeups/s others-CPU%"
    cat "$RESULTS"
} | column -t
awk '{ w[$1] = $2 + $4; p[$1] = $2 }
    END {
        if (w["empty"] > 0)
            printf "Tarnwell hidden, program + server: %.2f wake-ups/s, %.1f times the empty program\n",
                w["tarnwell-hidden"], w["tarnwell-hidden"] / w["empty"]
        if (w["empty+caret"] > 0)
            printf "Tarnwell shown, program + server: %.2f wake-ups/s, %.1f times the empty program with a caret\n",
                w["tarnwell-shown"], w["tarnwell-shown"] / w["empty+caret"]
        if (p["port-hidden"] > 0 && w["port-hidden"] > 0)
            printf "Web way hidden: program %.2f wake-ups/s, %.2f times the port way (%.2f); program + server %.2f, %.2f times\n",
                p["web-hidden"], p["web-hidden"] / p["port-hidden"], p["port-hidden"],
                w["web-hidden"], w["web-hidden"] / w["port-hidden"] }' "$RESULTS"
echo "Status at the end: \"$status\" (the host answered throughout)"
