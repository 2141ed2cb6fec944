#!/usr/bin/env bash
# The end-to-end tests: the real tarnwell.exe under Wine, watching 127.0.0.1 inside a private
# network namespace whose echo replies the tests switch off and on, driven and read through
# tarnwell_driver.exe. Prints "PASS name" or "FAIL name: reason" per result and a closing count,
# writes "<passed> <failed>" (and what E2E_ONLY left out, or "skipped <reason>") into
# $E2E_RESULTS when that is set, and
# exits non-zero when any result failed.
#
# Called by scripts/test with WINEPREFIX and DISPLAY set and the prefix made; when run by hand
# the build folder is TARNWELL_BUILD_DIR (or BUILD_DIR, or the repository's build/).
set -uo pipefail

E2E_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TARNWELL_ROOT=${TARNWELL_ROOT:-$(cd "$E2E_SCRIPTS/../.." && pwd)}
BUILD_DIR=${BUILD_DIR:-${TARNWELL_BUILD_DIR:-$TARNWELL_ROOT/build}}
WIN_BUILD=${WIN_BUILD:-$BUILD_DIR/win}
export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

write_counts() { # passed failed, or skipped reason...
    [[ -n ${E2E_RESULTS:-} ]] && echo "$*" >"$E2E_RESULTS"
    return 0
}

if [[ $(id -u) -ne 0 ]]; then
    echo "SKIPPED: end-to-end tests need root (network namespace)"
    echo "SKIPPED: end-to-end tests need root (network namespace)" >&2
    write_counts skipped "the end-to-end tests need root (network namespace)"
    exit 0
fi

E2E_EXE=$WIN_BUILD/tarnwell.exe
E2E_DRIVER=$WIN_BUILD/tests/tarnwell_driver.exe
E2E_WORK=$BUILD_DIR/e2e

# A run shortened with E2E_ONLY says so in its closing count and in the count file.
E2E_SHORTENED=""
finish() {
    cleanup
    echo "e2e: $E2E_PASSED passed, $E2E_FAILED failed${E2E_SHORTENED:+ ($E2E_SHORTENED)}"
    write_counts "$E2E_PASSED" "$E2E_FAILED" $E2E_SHORTENED
    ((E2E_FAILED == 0))
}

setup_problem() {
    echo "FAIL setup: $*"
    declare -F cleanup >/dev/null && cleanup
    echo "e2e: ${E2E_PASSED:-0} passed, $((${E2E_FAILED:-0} + 1)) failed"
    write_counts "${E2E_PASSED:-0}" $((${E2E_FAILED:-0} + 1))
    exit 1
}

for file in harness.sh cases.sh install_case.sh probe_cases.sh web_cases.sh path_cases.sh; do
    source "$E2E_SCRIPTS/$file" || setup_problem "cannot source $file"
done

[[ -f $E2E_EXE ]] || setup_problem "no $E2E_EXE (build the Windows side first)"
[[ -f $E2E_DRIVER ]] || setup_problem "no $E2E_DRIVER (build the Windows side first)"
[[ -d $WINEPREFIX/drive_c ]] || setup_problem "no Wine prefix at $WINEPREFIX"
[[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1 || setup_problem "no X display (DISPLAY=${DISPLAY:-})"

mkdir -p "$E2E_WORK"
rm -f "$E2E_WORK"/*.out "$E2E_WORK/driver.err" "$E2E_WORK/missing-commands"
trap 'cleanup' EXIT
trap 'cleanup; exit 130' INT TERM

make_namespace || setup_problem "cannot make the network namespace $E2E_NS"
# Names are looked up at the run's own DNS server; an unanswered lookup gives up after 2 s.
start_dns 2 1 || setup_problem "cannot start the DNS server inside $E2E_NS"
start_server || setup_problem "cannot start the Wine server inside $E2E_NS"

# The cases in the order they run; each declares its results (case_results).
E2E_CASES=(case_first_run case_escape case_close_and_boolean_2 case_renamed_copy case_unknown_host
    case_enter_on_buttons case_hide case_alive_dead_alive case_tray_story case_silent_name_server
    case_no_false_alarm case_port case_slow_echo case_every_address case_web case_ordinary_user
    case_stopped_process case_path_trace
    case_start_at_sign_in case_installer
    # Last: the end of the session ends the Wine desktop too.
    case_end_session)
# E2E_ONLY="case_a case_b" runs only those (while working on them).
all_cases=${#E2E_CASES[@]}
read -r -a E2E_CASES <<<"${E2E_ONLY:-${E2E_CASES[*]}}"
[[ -z ${E2E_ONLY:-} ]] || E2E_SHORTENED="E2E_ONLY: only ${#E2E_CASES[@]} of $all_cases cases"
started=$SECONDS
run_cases "${E2E_CASES[@]}"
stop_program
note "the cases took $((SECONDS - started)) s"

trap - EXIT
finish
