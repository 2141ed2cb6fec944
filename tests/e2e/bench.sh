# Shared by the benchmarks (soak.sh, stall.sh, idle_bench.sh): the checks before a run, its
# clean-up, and the display, Wine prefix and work folder it needs. A benchmark sets BENCH to its
# name, sources this file, sets E2E_NS, E2E_EXE, E2E_DRIVER and E2E_WORK, and calls bench_begin
# with the programs it runs; then it makes its namespace and server (harness.sh).

E2E_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$E2E_SCRIPTS/../../scripts/common.sh" && source "$E2E_SCRIPTS/harness.sh" || exit 1

give_up() {
    echo "$BENCH: $*" >&2
    exit 1 # the EXIT trap cleans up
}

bench_finish() {
    cleanup
    stop_display
}

bench_begin() { # programs...
    [[ $(id -u) -eq 0 ]] || {
        echo "$BENCH: needs root (network namespace, raw sockets)" >&2
        exit 2
    }
    local exe
    for exe in "$@"; do
        [[ -f $exe ]] || {
            echo "$BENCH: no $exe (build the Windows side first)" >&2
            exit 2
        }
    done
    trap bench_finish EXIT
    trap 'echo; echo "$BENCH: interrupted, cleaning up" >&2; bench_finish; trap - EXIT; exit 130' INT TERM
    ensure_display || give_up "no X display"
    ensure_wineprefix
    mkdir -p "$E2E_WORK"
    rm -f "$E2E_WORK/tarnwell.out" "$E2E_WORK/driver.err"
}
