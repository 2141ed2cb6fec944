# Shared by the benchmarks (idle_bench.sh, soak.sh, stall.sh, chaos.sh): the harness's
# namespace, Wine server, program, driver and checks, a failed check ending the run with its
# reason; the display and Wine prefix it needs, its work folder, and its clean-up, also on
# Ctrl-C. A benchmark sets BENCH to its name (and EXE to another tarnwell.exe to measure),
# sources this file and calls bench_begin.

E2E_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$E2E_SCRIPTS/../../scripts/common.sh" && source "$E2E_SCRIPTS/harness.sh" &&
    source "$E2E_SCRIPTS/web_cases.sh" || exit 1
E2E_NS=tw-$BENCH-$$
E2E_EXE=${EXE:-$WIN_BUILD/tarnwell.exe}
E2E_DRIVER=$WIN_BUILD/tests/tarnwell_driver.exe
E2E_WORK=$BUILD_DIR/$BENCH
# The settings of watch_settings log into C:\BENCH\events.log.
E2E_DRIVE_DIR=$WINEPREFIX/drive_c/$BENCH
E2E_LOG_PATH="C:\\$BENCH\\events.log"
E2E_LOG=$E2E_DRIVE_DIR/events.log

give_up() {
    echo "$BENCH: $*" >&2
    exit 1 # the EXIT trap cleans up
}
problem() { give_up "$@"; } # the harness's checks end a benchmark at their first problem

# Ends the run with its usage unless DURATION is a whole number of seconds, MIN or more.
bench_duration() { # min usage
    [[ $DURATION =~ ^[0-9]+$ && $DURATION -ge $1 ]] || { echo "usage: $0 $2" >&2 && exit 2; }
}

bench_finish() {
    cleanup
    stop_display
}

# Checks the run's needs, makes the work folder, the namespace (with a name server when its
# resolver's patience is given) and the Wine server in it, and starts from fresh settings.
bench_begin() { # [resolver-timeout-seconds resolver-attempts]
    [[ $(id -u) -eq 0 ]] || {
        echo "$BENCH: needs root (network namespace, raw sockets)" >&2
        exit 2
    }
    local exe
    for exe in "$E2E_EXE" "$E2E_DRIVER" "${BENCH_PROGRAMS[@]}"; do
        [[ -f $exe ]] || {
            echo "$BENCH: no $exe (build the Windows side first)" >&2
            exit 2
        }
    done
    trap bench_finish EXIT
    trap 'echo; echo "$BENCH: interrupted, cleaning up" >&2; bench_finish; trap - EXIT; exit 130' INT TERM
    ensure_display || give_up "no X display"
    ensure_wineprefix
    rm -rf "$E2E_WORK"
    mkdir -p "$E2E_WORK"
    make_namespace || give_up "cannot make the network namespace $E2E_NS"
    if (($#)); then start_dns "$@" || give_up "cannot start the DNS server inside $E2E_NS"; fi
    start_server || give_up "cannot start the Wine server inside $E2E_NS"
    fresh_case
}
