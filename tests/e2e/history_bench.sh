#!/usr/bin/env bash
# The History window's benchmark: runs tarnwell_history_bench under Wine, which records a day of
# checks at a 1 s period (86,400) and draws the window's picture over them, and prints the
# memory the history holds and the drawing times. A benchmark that prints figures, not a
# pass/fail test, and not part of scripts/test. Needs no root and no network.
# Usage: tests/e2e/history_bench.sh (HISTORY_BENCH_EXE names another build of the program)
set -uo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/../../scripts/common.sh"

exe=${HISTORY_BENCH_EXE:-$WIN_BUILD/tools/tarnwell_history_bench.exe}
[[ -f $exe ]] || {
    echo "history_bench: no $exe (build the Windows side first)" >&2
    exit 2
}
trap stop_display EXIT
ensure_display || exit 1
ensure_wineprefix
wine "$exe" | tr -d '\r'
