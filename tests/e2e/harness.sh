# The end-to-end harness: the private network namespace, the Wine server inside it, starting and
# stopping tarnwell.exe and helpers, the driver, and the PASS/FAIL bookkeeping. Sourced by
# run_all.sh (and by the benchmarks, through bench.sh).
#
# Wine makes its sockets inside the wineserver process, so the server is started inside the
# namespace first and every Wine command goes through `ip netns exec`: a server left running
# outside would quietly carry the echo requests to the machine's own loopback instead.
#
# Writing a case (a function `case_<story>` named in run_all.sh's E2E_CASES):
#
#   case_results NAME...            first line: the results the case reports. Each must be
#                                   reported once; those a case returns before reporting fail
#                                   as "not reached", so a case that cannot go on just returns.
#                                   The runner has already called fresh_case.
#   problem TEXT / result NAME      note the first thing that went wrong; report NAME with it
#                                   (PASS when nothing went wrong since the last result)
#   watch_settings [NAME N]...      the settings a watching case starts from: a check every
#                                   second, no sounds, make and break lines logged to
#                                   $E2E_LOG (C:\e2e\events.log), then any REG_DWORD given
#   launch EXE ARGS...              starts the program and waits for its window (else problem)
#   enter_host TEXT                 types TEXT in the host field and presses Enter (status emptied)
#   expect_status TEXT MS [WHY]     waits up to MS for the status line to show TEXT (else problem)
#   expect_steady ID TEXT MS        the control shows TEXT throughout MS (else problem)
#   expect_status_held TEXT MS HOLD [WHY]  expect_status, then the status steady for HOLD ms
#   expect_event_log LINE...        the log holds exactly these "host event" lines, in order
#   expect_no_break_logged          the log exists and holds no break line
#   expect_no_exit SECONDS WHY      the program is still running after up to SECONDS
#   expect_no_window CAPTION SECONDS  no window CAPTION shows up within SECONDS
#   wait_for_window CAPTION SECONDS [gone]  waits for a window to be there (or gone)
#   wait_until SECONDS CMD...       runs CMD every 0.1 s until it succeeds (else fails)
#   end_with WHAT DRIVER-ARGS...     a driver command that must end the program with exit code 0
#   start_in_ns NAME CMD...         starts a helper (a listener, a second driver) inside the
#                                   namespace in the background, output in $E2E_WORK/NAME.out
#   stop_in_ns NAME                 ends it, by the name it was started under; whatever a case
#                                   leaves running ends with the case
#   drv ARGS...                     runs the test driver (driver.cpp lists its commands)
#
# cases.sh adds the checks of settings (expect_settings, defaults_with), of controls and the
# window (expect_text, expect_info), of the tray icon (expect_tray_icon) and take_screenshot.
#
# A command that does not exist (a helper misspelt, a file not sourced) fails the result being
# collected (or the case, after its last result), and a case that does not exist fails the run.

E2E_NS=tw-e2e-$$
E2E_PASSED=0
E2E_FAILED=0
TW_PID=""
declare -gA E2E_BACKGROUND=() # helper name -> pid

# Controls of the watch window, and keys.
STATUS=1003
HOST_FIELD=1001
EXIT_BUTTON=1000
OPTIONS_BUTTON=1004
VK_RETURN=13
VK_ESCAPE=27
IDM_HISTORY=32 # the History item of the watch window's system menu

# --- results -------------------------------------------------------------------------------

pass() { # name
    E2E_PASSED=$((E2E_PASSED + 1))
    echo "PASS $1"
}

fail() { # name reason...
    local name=$1
    shift
    E2E_FAILED=$((E2E_FAILED + 1))
    echo "FAIL $name: $*"
}

note() { echo "     $*"; }

# A case collects the first thing that went wrong for each result it reports.
REASON=""
problem() { [[ -n $REASON ]] || REASON="$*"; }

# Runs in a separate environment, so it leaves its word in a file for `result`.
command_not_found_handle() {
    echo "no command \"$1\"" | tee -a "$E2E_WORK/missing-commands" >&2
    return 127
}

# Prints, and forgets, the first command found missing since the last call; fails when none was.
missing_command() {
    [[ -s $E2E_WORK/missing-commands ]] || return 1
    head -n1 "$E2E_WORK/missing-commands"
    : >"$E2E_WORK/missing-commands"
}

E2E_DECLARED=()
E2E_REPORTED=()
case_results() { E2E_DECLARED=("$@"); }

result() { # name
    local missing
    missing=$(missing_command) && problem "$missing"
    if [[ " ${E2E_REPORTED[*]} " == *" $1 "* ]]; then
        problem "reported twice"
    elif [[ " ${E2E_DECLARED[*]} " != *" $1 "* ]]; then
        problem "not among its case's results"
    fi
    E2E_REPORTED+=("$1")
    if [[ -z $REASON ]]; then pass "$1"; else fail "$1" "$REASON"; fi
    REASON=""
}

# Runs each case from a fresh start, ends the helpers it started, and fails every result it
# declared but did not report; the run fails when a case is missing or declares no result.
E2E_CASES_RUN=0
run_cases() { # case functions...
    local case name missing
    for case; do
        E2E_DECLARED=()
        E2E_REPORTED=()
        fresh_case
        if ! declare -F "$case" >/dev/null; then
            fail "$case" "no such case"
            continue
        fi
        "$case"
        for name in "${!E2E_BACKGROUND[@]}"; do # the helpers the case left running
            [[ $name == dns || $name == tarnwell ]] || stop_in_ns "$name"
        done
        ((${#E2E_DECLARED[@]})) || fail "$case" "declares no result (case_results)"
        missing=$(missing_command) && fail "$case" "$missing"
        for name in "${E2E_DECLARED[@]}"; do
            [[ " ${E2E_REPORTED[*]} " == *" $name "* ]] || fail "$name" "not reached${REASON:+ ($REASON)}"
        done
        REASON=""
        E2E_CASES_RUN=$((E2E_CASES_RUN + 1))
    done
    ((E2E_CASES_RUN == $#)) || fail cases "$E2E_CASES_RUN of $# cases ran"
}

# --- the namespace, its Wine server and helpers started inside it ------------------------------

in_ns() { ip netns exec "$E2E_NS" "$@"; }

silence_host() { in_ns sysctl -qw net.ipv4.icmp_echo_ignore_all="$1" >/dev/null; }

make_namespace() {
    ip netns add "$E2E_NS" || return 1
    in_ns ip link set lo up || return 1
    silence_host 0
}

# Not through a function, so that the pid kept is the command's own (ip netns exec execs it).
start_in_ns() { # name command...
    local name=$1
    shift
    ip netns exec "$E2E_NS" "$@" >>"$E2E_WORK/$name.out" 2>&1 &
    E2E_BACKGROUND[$name]=$!
}

stop_in_ns() { # name
    local pid=${E2E_BACKGROUND[$1]:-}
    unset "E2E_BACKGROUND[$1]"
    [[ -n $pid ]] || return 0
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

# Prints the Linux process ids inside the namespace of the program NAME (tarnwell.exe,
# wineserver; a process's name is cut to 15 letters), waiting up to SECONDS for one; fails when
# there is none. Other runs of the same programs elsewhere on the machine are left out.
namespace_pids() { wait_until "${2:-0}" pids_named "$1"; } # name [seconds]

pids_named() { # name
    local pid found=""
    for pid in $(ip netns pids "$E2E_NS" 2>/dev/null); do
        [[ $(cat "/proc/$pid/comm" 2>/dev/null) == "${1:0:15}"* ]] && found+="$pid "
    done
    [[ -n $found ]] && echo "${found% }"
}

start_server() {
    # Any server of this prefix, inside or outside the namespace, goes first.
    wineserver -k >/dev/null 2>&1
    timeout 10 wineserver -w >/dev/null 2>&1
    in_ns wineserver -p 60 || return 1
    namespace_pids wineserver 5 >/dev/null && return 0
    echo "the Wine server did not start inside $E2E_NS" >&2
    return 1
}

stop_server() {
    in_ns wineserver -k >/dev/null 2>&1
    timeout 10 wineserver -w >/dev/null 2>&1
}

# Ends everything this run started; safe to call more than once and from the exit trap.
cleanup() {
    local name pid
    for name in "${!E2E_BACKGROUND[@]}"; do
        stop_in_ns "$name"
    done
    if ip netns list 2>/dev/null | grep -qw "$E2E_NS"; then
        silence_host 0 2>/dev/null
        stop_server
        # Whatever is still inside the namespace was started by this run.
        for pid in $(ip netns pids "$E2E_NS" 2>/dev/null); do
            kill -9 "$pid" 2>/dev/null
        done
        ip netns del "$E2E_NS"
    fi
    rm -rf "/etc/netns/${E2E_NS:?}"
    declare -F remove_chain >/dev/null && remove_chain
    TW_PID=""
}

# --- a name server of the run's own ------------------------------------------------------------
#
# `ip netns exec` binds /etc/netns/NS/resolv.conf and /etc/netns/NS/hosts over the usual files
# for every program it starts, so that the programs of the run ask dns_server.py on
# 127.0.0.1:53 inside the namespace, which answers, stays silent or says "no such name" as
# dns_mode last said. Call start_dns before the programs that look names up are started.

start_dns() { # resolver-timeout-seconds resolver-attempts
    local etc=/etc/netns/$E2E_NS
    mkdir -p "$etc" || return 1
    printf 'nameserver 127.0.0.1\noptions timeout:%s attempts:%s\n' "$1" "$2" >"$etc/resolv.conf"
    printf '127.0.0.1 localhost\n' >"$etc/hosts"
    E2E_DNS_MODE=$E2E_WORK/dns-mode
    echo answer >"$E2E_DNS_MODE"
    start_in_ns dns python3 "$E2E_SCRIPTS/dns_server.py" "$E2E_DNS_MODE"
    wait_until 5 in_ns python3 -c 'import socket; socket.gethostbyname("ready.test")' 2>/dev/null &&
        return 0
    echo "the DNS server did not answer inside $E2E_NS" >&2
    return 1
}

dns_mode() { echo "$1" >"$E2E_DNS_MODE"; } # answer|silent|nxdomain|roundrobin

# --- the driver and the program ----------------------------------------------------------------

# What every Wine program of the run is started through inside the namespace: nothing, or (for
# a case run as an ordinary user) setpriv and that user's prefix.
E2E_AS=()

# The driver's console output ends its lines with CR LF; the carriage returns are dropped. It
# may take DRV_SECONDS (30 when unset).
drv() {
    timeout "${DRV_SECONDS:-30}" ip netns exec "$E2E_NS" "${E2E_AS[@]}" wine "$E2E_DRIVER" "$@" 2>>"$E2E_WORK/driver.err" |
        tr -d '\r'
}

start_program() { # exe args...
    start_in_ns tarnwell "${E2E_AS[@]}" wine "$@"
    TW_PID=${E2E_BACKGROUND[tarnwell]}
}

program_running() { [[ -n $TW_PID ]] && kill -0 "$TW_PID" 2>/dev/null; }

# Milliseconds of the wall clock, for time limits finer than SECONDS.
now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }

# Runs COMMAND every 0.1 s until it succeeds or SECONDS have passed (at least once).
wait_until() { # seconds command...
    local deadline=$(($(now_ms) + $1 * 1000))
    until "${@:2}"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.1
    done
}

# Waits up to SECONDS for the program to end; sets TW_RC to its exit code.
wait_program_exit() { # seconds
    local deadline=$(($(now_ms) + $1 * 1000))
    TW_RC=""
    while program_running && (($(now_ms) < deadline)); do
        sleep 0.1
    done
    program_running && return 1
    wait "$TW_PID" 2>/dev/null
    TW_RC=$?
    TW_PID=""
    unset "E2E_BACKGROUND[tarnwell]"
    return 0
}

# Ends the program: a close request first; when that does not work, the whole Wine server of
# the prefix goes (only this run's programs use it) and a fresh one starts in the namespace.
stop_program() {
    program_running || {
        TW_PID=""
        return 0
    }
    drv close >/dev/null
    wait_program_exit 5 && return 0
    note "tarnwell.exe ignored the close request; restarting the Wine server"
    stop_server
    kill -9 "$TW_PID" 2>/dev/null
    stop_in_ns tarnwell
    TW_PID=""
    start_server
}

# Each case starts from no running program, no settings, an answering host and name server, no
# firewall rules and an empty scratch folder in the prefix; a settings key that cannot be cleared fails its first
# result.
fresh_case() {
    REASON=""
    stop_program
    silence_host 0
    in_ns nft flush ruleset
    [[ -z ${E2E_DNS_MODE:-} ]] || dns_mode answer
    rm -rf "$E2E_DRIVE_DIR"
    mkdir -p "$E2E_DRIVE_DIR"
    drv clear-settings >/dev/null || problem "could not clear the settings"
}

# Types TEXT into the host field and presses Enter there, the status line emptied first: a wait
# for the status that Enter brings cannot be met by what the line showed before.
enter_host() { # text
    drv set-text $STATUS "" && drv set-text $HOST_FIELD "$1" && drv key $HOST_FIELD $VK_RETURN
}

# Starts the program and waits for its window. Returns 1 (and notes a problem) when none comes.
launch() { # exe args...
    start_program "$@"
    if ! drv wait-window 15000; then
        problem "no watch window within 15 s"
        return 1
    fi
}

# The scratch folder that the program sees as C:\e2e, and the event log of the watching cases
# in it, as the program and as this side see it.
E2E_DRIVE_DIR=$WINEPREFIX/drive_c/e2e
E2E_LOG_PATH='C:\e2e\events.log'
E2E_LOG=$E2E_DRIVE_DIR/events.log

watch_settings() { # [name value]...
    drv set-dword tarnwell CheckFrequency 1 MakePlaySound 0 BreakPlaySound 0 MakeLog 1 \
        BreakLog 1 "$@" >/dev/null &&
        drv set-string tarnwell MakeLogFilename "$E2E_LOG_PATH" BreakLogFilename "$E2E_LOG_PATH" \
            >/dev/null || problem "could not store the settings"
}

expect_status() { # text ms [why]: TEXT* waits for a status that starts with TEXT
    DRV_SECONDS=$(($2 / 1000 + 30)) drv wait-text $STATUS "$1" "$2" >/dev/null && return 0
    problem "no \"$1\" within $2 ms${3:+ $3} (status \"$(drv text $STATUS)\")"
    return 1
}

expect_status_held() { expect_status "$1" "$2" "${4:-}" && expect_steady $STATUS "$1" "$3"; }

# Notes a problem unless the status keeps showing TEXT for MS while the window's answers are
# timed: no change, and no message kept waiting past 1,500 ms. The figures are noted as WHAT.
expect_steady_without_stall() { # text ms what
    local out=$E2E_WORK/stalls.out
    rm -f "$out"
    start_in_ns stalls wine "$E2E_DRIVER" stalls "$2" 1500
    expect_steady $STATUS "$1" "$2"
    wait "${E2E_BACKGROUND[stalls]}" ||
        problem "the window kept a message waiting: $(tr -d '\r' <"$out")"
    note "$3: $(tr -d '\r' <"$out")"
}

# Notes a problem unless CONTROL keeps showing TEXT for MS; a driver that finds no window (the
# program ended) counts as a change. Each wait stays well inside the driver's own time limit.
expect_steady() { # control text ms
    local left=$3 chunk shown
    while ((left > 0)); do
        chunk=$((left < 20000 ? left : 20000))
        if shown=$(drv wait-change "$1" "$2" $chunk) || [[ $shown != "$2" ]]; then
            problem "control $1 shows \"$shown\" within $3 ms, not \"$2\" throughout"
            return 1
        fi
        left=$((left - chunk))
    done
}

# Notes a problem unless the log holds exactly one CR LF line per expected "host event", in
# order, each after a time text.
expect_event_log() { # "host event"...
    if [[ ! -f $E2E_LOG ]]; then
        problem "no event log $E2E_LOG"
        return
    fi
    local weekday='(Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday)'
    local month='(January|February|March|April|May|June|July|August|September|October|November|December)'
    local time_re="^$weekday [0-9]{2} $month [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} -"$'\t'
    local lines=() i=0 line
    mapfile -t lines <"$E2E_LOG"
    if ((${#lines[@]} != $#)); then
        problem "log has ${#lines[@]} lines, not $#: $(tr -d '\r' <"$E2E_LOG" | cut -f2 | tr '\n' ';')"
        return
    fi
    [[ $(tail -c 2 "$E2E_LOG" | od -An -c | tr -d ' ') == '\r\n' ]] || problem "log does not end in CR LF"
    for line in "$@"; do
        [[ ${lines[i]} =~ $time_re && ${lines[i]#*$'\t'} == "$line!"$'\r' ]] ||
            problem "log line $((i + 1)) is \"$(tr -d '\r\t' <<<"${lines[i]}")\", not a \"$line\" line"
        i=$((i + 1))
    done
}

# The lines of an event log as "<Unix seconds> <text>": "Tuesday 08 December 2026 14:56:59 -"
# and a tab before each text, the times to the second.
log_seconds() { # file
    local when text
    while IFS=$'\t' read -r when text; do
        when=${when#* }
        echo "$(date -d "${when% -}" +%s) ${text%$'\r'}"
    done <"$1"
}

# A break undone within one message never shows in the status line; it does in the log.
expect_no_break_logged() {
    if [[ ! -f $E2E_LOG ]]; then
        problem "no event log $E2E_LOG"
    elif grep -q "has died" "$E2E_LOG"; then
        problem "a break line in the log: $(grep "has died" "$E2E_LOG" | head -n1 | tr -d '\r\t')"
    fi
}

# Waits up to SECONDS for a top-level window captioned CAPTION to be there (or gone): gone only
# when the driver counts none, not when the driver itself fails.
wait_for_window() { wait_until "$2" window_count "$1" "${3:-}"; } # caption seconds [gone]

window_count() { # caption [gone]: some windows so captioned, or (gone) none
    local count
    count=$(drv find-window "$1")
    [[ $2 == gone && $count == 0 || $2 != gone && $count =~ ^[1-9] ]]
}

expect_no_window() { # caption seconds
    wait_for_window "$1" "$2" && problem "a window \"$1\" showed up"
    return 0
}

expect_no_exit() { # seconds why
    wait_program_exit "$1" && problem "tarnwell.exe ended ($2), exit code $TW_RC"
    return 0
}

# Ends the program with STEP (a driver command) and checks that it ends with exit code 0; sets
# TW_RC.
end_with() { # description driver-args...
    local what=$1
    shift
    drv "$@" >/dev/null
    if ! wait_program_exit 10; then
        problem "tarnwell.exe still runs 10 s after the $what"
        return 1
    fi
    [[ $TW_RC == 0 ]] || { problem "exit code $TW_RC after the $what, not 0" && return 1; }
}

# Prints the value of FIELD in the driver's `info` output.
info_field() { # info-text field
    awk -v f="$2" '$1 == f { $1 = ""; sub(/^ /, ""); print }' <<<"$1"
}
