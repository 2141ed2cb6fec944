# The end-to-end harness: the private network namespace, the Wine server inside it, starting and
# stopping tarnwell.exe, the driver, and the PASS/FAIL bookkeeping. Sourced by run_all.sh.
#
# Wine makes its sockets inside the wineserver process, so the server is started inside the
# namespace first and every Wine command goes through `ip netns exec`: a server left running
# outside would quietly carry the echo requests to the machine's own loopback instead.

E2E_NS=tw-e2e-$$
E2E_PASSED=0
E2E_FAILED=0
TW_PID=""
E2E_BACKGROUND_PIDS=()

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

# Results that a case could not get to after an earlier step failed, so that every run reports
# the same list.
unreached() { # names...
    local name
    for name; do
        fail "$name" "not reached"
    done
}

# A case collects the first thing that went wrong for each result it reports.
REASON=""
problem() { [[ -n $REASON ]] || REASON="$*"; }
result() { # name
    if [[ -z $REASON ]]; then pass "$1"; else fail "$1" "$REASON"; fi
    REASON=""
}

# --- the namespace and its Wine server -------------------------------------------------------

in_ns() { ip netns exec "$E2E_NS" "$@"; }

silence_host() { in_ns sysctl -qw net.ipv4.icmp_echo_ignore_all="$1" >/dev/null; }

make_namespace() {
    ip netns add "$E2E_NS" || return 1
    in_ns ip link set lo up || return 1
    silence_host 0
}

# Prints the Linux process id of the Wine server inside the namespace; fails when there is none.
namespace_server_pid() {
    local pid
    for pid in $(ip netns pids "$E2E_NS" 2>/dev/null); do
        if [[ $(cat "/proc/$pid/comm" 2>/dev/null) == wineserver* ]]; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

server_in_namespace() { namespace_server_pid >/dev/null; }

# Prints the Linux process ids inside the namespace whose command line matches PATTERN (as
# pgrep -f takes it): other runs of the same programs elsewhere on the machine are left out.
namespace_pids() { # pattern
    comm -12 <(pgrep -f "$1" | LC_ALL=C sort) <(ip netns pids "$E2E_NS" 2>/dev/null | LC_ALL=C sort)
}

start_server() {
    # Any server of this prefix, inside or outside the namespace, goes first.
    wineserver -k >/dev/null 2>&1
    timeout 10 wineserver -w >/dev/null 2>&1
    in_ns wineserver -p 60 || return 1
    for _ in $(seq 50); do
        server_in_namespace && return 0
        sleep 0.1
    done
    echo "the Wine server did not start inside $E2E_NS" >&2
    return 1
}

stop_server() {
    in_ns wineserver -k >/dev/null 2>&1
    timeout 10 wineserver -w >/dev/null 2>&1
}

# Ends everything this run started; safe to call more than once and from the exit trap.
cleanup() {
    local pid
    for pid in "${E2E_BACKGROUND_PIDS[@]}"; do
        kill "$pid" 2>/dev/null
    done
    E2E_BACKGROUND_PIDS=()
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
    in_ns python3 "$E2E_SCRIPTS/dns_server.py" "$E2E_DNS_MODE" 2>>"$E2E_WORK/dns.err" &
    E2E_BACKGROUND_PIDS+=($!)
    for _ in $(seq 50); do
        in_ns python3 -c 'import socket; socket.gethostbyname("ready.test")' 2>/dev/null && return 0
        sleep 0.1
    done
    echo "the DNS server did not answer inside $E2E_NS" >&2
    return 1
}

dns_mode() { echo "$1" >"$E2E_DNS_MODE"; } # answer|silent|nxdomain

# --- the driver and the program ----------------------------------------------------------------

# What every Wine program of the run is started through inside the namespace: nothing, or (for
# a case run as an ordinary user) setpriv and that user's prefix.
E2E_AS=()
in_ns_wine() { ip netns exec "$E2E_NS" "${E2E_AS[@]}" wine "$@"; }

# The driver's console output ends its lines with CR LF; the carriage returns are dropped.
drv() {
    timeout 30 ip netns exec "$E2E_NS" "${E2E_AS[@]}" wine "$E2E_DRIVER" "$@" 2>>"$E2E_WORK/driver.err" |
        tr -d '\r'
}

start_program() { # exe args...
    in_ns_wine "$@" >>"$E2E_WORK/tarnwell.out" 2>&1 &
    TW_PID=$!
}

program_running() { [[ -n $TW_PID ]] && kill -0 "$TW_PID" 2>/dev/null; }

# Waits up to SECONDS for the program to end; sets TW_RC to its exit code.
wait_program_exit() { # seconds
    local deadline=$((SECONDS + $1))
    TW_RC=""
    while program_running && ((SECONDS < deadline)); do
        sleep 0.1
    done
    program_running && return 1
    wait "$TW_PID" 2>/dev/null
    TW_RC=$?
    TW_PID=""
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
    wait "$TW_PID" 2>/dev/null
    TW_PID=""
    start_server
}

# Each case starts from no running program, no settings, an answering host and an empty
# scratch folder in the prefix.
fresh_case() {
    stop_program
    silence_host 0
    drv clear-settings >/dev/null || echo "could not clear the settings" >&2
    rm -rf "$E2E_DRIVE_DIR"
    mkdir -p "$E2E_DRIVE_DIR"
    REASON=""
}

# Starts the program and waits for its window. Returns 1 (and notes a problem) when none comes.
launch() { # exe args...
    start_program "$@"
    if ! drv wait-window 15000; then
        problem "no watch window within 15 s"
        return 1
    fi
}

# Prints the value of FIELD in the driver's `info` output.
info_field() { # info-text field
    awk -v f="$2" '$1 == f { $1 = ""; sub(/^ /, ""); print }' <<<"$1"
}
