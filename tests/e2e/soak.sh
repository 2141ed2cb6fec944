#!/usr/bin/env bash
# A soak benchmark of the real tarnwell.exe under Wine. It prints figures and judges nothing.
#
# The program watches 127.0.0.1 once a second inside a private network namespace whose echo
# replies are switched off and on every SOAK_TOGGLE seconds, so that break and make events keep
# coming, each appended to C:\soak\events.log in the prefix. Every SOAK_SAMPLE seconds the
# script notes the process's memory and open files, the Wine server's files and sockets, the raw
# sockets of the namespace and, where Wine reports them, the GDI and USER objects and handles.
# Then it opens and cancels the Options dialog SOAK_OPTIONS_OPENS times and prints what each
# opening costs. Everything it started ends with it, also on Ctrl-C.
#
#   tests/e2e/soak.sh [SECONDS]      watching time, default 180 (the whole run takes ~15 s more)
#
# Needs root (the namespace and raw sockets) and the Windows build (tarnwell.exe and
# tarnwell_driver.exe) in TARNWELL_BUILD_DIR or the repository's build/. Uses the caller's
# DISPLAY or a private Xvfb, and makes the build's Wine prefix when it is missing.
set -uo pipefail

DURATION=${1:-180}
TOGGLE=${SOAK_TOGGLE:-15}
SAMPLE=${SOAK_SAMPLE:-10}
OPTIONS_OPENS=${SOAK_OPTIONS_OPENS:-50}
OPTIONS_BATCH=10
HOST=127.0.0.1

BENCH=soak EXE= # the build's own tarnwell.exe, whatever EXE the caller has
source "$(dirname "${BASH_SOURCE[0]}")/bench.sh"
SAMPLES=$E2E_WORK/samples.txt
TOGGLES=$E2E_WORK/toggles.txt
STATUS_LOG=$E2E_WORK/status.txt
OPTIONS_LOG=$E2E_WORK/options.txt

bench_duration 20 "[SECONDS] (20 or more; default 180)"
bench_begin
touch "$SAMPLES" "$TOGGLES" "$OPTIONS_LOG"

# --- measurements --------------------------------------------------------------------------------

# "resident private dirty data" of a Linux process, in kB: VmRSS; the private pages of
# smaps_rollup, clean and dirty, and the dirty ones alone; VmData (heap and anonymous mappings).
# Clean private pages are pages of Wine's DLLs that no other process maps at that moment, so
# they come and go with the other Wine programs on the machine; the dirty ones are the
# process's own writes and show a leak.
memory_of() { # pid
    local rss data private
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null)
    data=$(awk '/^VmData:/ { print $2 }' "/proc/$1/status" 2>/dev/null)
    private=$(awk '/^Private_/ { s += $2; n++ } /^Private_Dirty:/ { d = $2 }
        END { if (n) print s, d }' "/proc/$1/smaps_rollup" 2>/dev/null)
    echo "${rss:--} ${private:-- -} ${data:--}"
}

open_files() { ls "/proc/$1/fd" 2>/dev/null | wc -l; }
open_sockets() { find "/proc/$1/fd" -lname 'socket:*' 2>/dev/null | wc -l; }
raw_sockets() { in_ns awk 'NR > 1' /proc/net/raw | wc -l; }
# Lines of FILE that hold TEXT (0 when there is no file).
count_lines() { # text file
    local n
    n=$(grep -cF -- "$1" "$2" 2>/dev/null)
    echo "${n:-0}"
}
logged_events() { if [[ -f $E2E_LOG ]]; then wc -l <"$E2E_LOG"; else echo 0; fi; }

# GDI objects, USER objects and handles of the program as the driver reads them through
# OpenProcess; "-" where Wine does not report them.
GUI_FIELDS="gdi user handles"
gui_counts() {
    local out field value line=""
    out=$(drv resources)
    for field in $GUI_FIELDS; do
        value=$(info_field "$out" "$field")
        [[ $value =~ ^[0-9]+$ ]] || value=-
        line+="$value "
    done
    echo "${line% }"
}

# One line of SAMPLES: seconds since the start, whether the host answers, the program's memory
# and files, the Wine server's files, sockets and memory, the namespace's raw sockets, the GUI
# counts and the events logged so far. The Wine server is read before the driver runs, so that
# the driver's own connection to it is not counted.
take_sample() { # seconds host-state
    local server srv_files=- srv_sockets=- srv_rss=-
    server=$(namespace_pids wineserver)
    if [[ -n $server ]]; then
        srv_files=$(open_files "$server")
        srv_sockets=$(open_sockets "$server")
        srv_rss=$(memory_of "$server" | cut -d' ' -f1)
    fi
    echo "$1 $2 $(memory_of "$TW_LINUX_PID") $(open_files "$TW_LINUX_PID") $srv_files" \
        "$srv_sockets $srv_rss $(raw_sockets) $(gui_counts) $(logged_events)" >>"$SAMPLES"
}

SAMPLE_HEADER="t(s) host rss(kB) private(kB) dirty(kB) data(kB) files srv-files srv-sockets srv-rss(kB) raw-sockets gdi user handles events"

# Least-squares slope of COLUMN over time, in kB per hour, from the samples at or after FROM s.
slope_per_hour() { # column from
    awk -v c="$1" -v from="$2" '$1 >= from && $c != "-" {
            n++; x += $1; y += $c; xx += $1 * $1; xy += $1 * $c }
        END { d = n * xx - x * x
              if (n < 3 || d == 0) print "-"; else printf "%.0f\n", (n * xy - x * y) / d * 3600 }' "$SAMPLES"
}

column_range() { # column
    awk -v c="$1" '$c != "-" { if (n == 0 || $c < lo) lo = $c; if (n == 0 || $c > hi) hi = $c; n++ }
        END { if (n) print lo, hi; else print "- -" }' "$SAMPLES"
}

first_last() { # column
    awk -v c="$1" 'NR == 1 { f = $c } { l = $c } END { print f, l }' "$SAMPLES"
}

# --- the run ---------------------------------------------------------------------------------------

echo "soak: tarnwell.exe $HOST, check every 1 s, host silent/answering every ${TOGGLE} s," \
    "sample every ${SAMPLE} s, ${DURATION} s; namespace $E2E_NS"
watch_settings MakePlaySound 1 BreakPlaySound 1 # the sounds of the default settings
launch "$E2E_EXE" "$HOST" && expect_status "$HOST is alive!" 10000
TW_LINUX_PID=$(namespace_pids tarnwell.exe) || give_up "cannot find the Linux process of tarnwell.exe"

# Every status change with its time, for the detection delays; one driver for the whole run,
# so that the Wine server's count of connections stays level.
start_in_ns follow-text timeout $((DURATION + 180)) wine "$E2E_DRIVER" follow-text $STATUS \
    $(((DURATION + 150) * 1000))

start=$(date +%s.%N)
elapsed() { awk -v s="$start" -v n="$(date +%s.%N)" 'BEGIN { printf "%.1f", n - s }'; }
host_state=answering
next_sample=0
next_toggle=$TOGGLE
echo "soak: watching for ${DURATION} s (Linux pid $TW_LINUX_PID)..."
while :; do
    now=$(elapsed)
    awk -v n="$now" -v d="$DURATION" 'BEGIN { exit !(n >= d) }' && break
    if awk -v n="$now" -v t="$next_toggle" 'BEGIN { exit !(n >= t) }'; then
        if [[ $host_state == answering ]]; then host_state=silent; else host_state=answering; fi
        echo "$(date +%s.%N) $host_state" >>"$TOGGLES"
        silence_host $([[ $host_state == silent ]] && echo 1 || echo 0)
        next_toggle=$((next_toggle + TOGGLE))
    fi
    if awk -v n="$now" -v t="$next_sample" 'BEGIN { exit !(n >= t) }'; then
        take_sample "$now" "$host_state"
        next_sample=$((next_sample + SAMPLE))
    fi
    sleep 0.1
done
take_sample "$(elapsed)" "$host_state"
program_running || give_up "tarnwell.exe ended during the soak"

# --- the Options dialog, opened and cancelled again and again ------------------------------------

if [[ $host_state == silent ]]; then
    echo "$(date +%s.%N) answering" >>"$TOGGLES"
    silence_host 0
    expect_status "$HOST is alive!" 5000
fi
sleep 1
echo "0 $(memory_of "$TW_LINUX_PID")" >>"$OPTIONS_LOG"
opened=0
options_ms=0
options_longest=0
while ((opened < OPTIONS_OPENS)); do
    batch=$((OPTIONS_OPENS - opened < OPTIONS_BATCH ? OPTIONS_OPENS - opened : OPTIONS_BATCH))
    out=$(drv options-cycle "$batch" 5000)
    cycled=0 mean=0 longest=0
    read -r _ cycled _ mean _ longest <<<"$out"
    [[ $cycled =~ ^[0-9]+$ && $longest =~ ^[0-9]+$ ]] || cycled=0 longest=0
    options_ms=$(awk -v a="$options_ms" -v n="$cycled" -v m="$mean" 'BEGIN { print a + n * m }')
    ((longest > options_longest)) && options_longest=$longest
    opened=$((opened + cycled))
    echo "$opened $(memory_of "$TW_LINUX_PID")" >>"$OPTIONS_LOG"
    if ((cycled < batch)); then
        echo "soak: the Options dialog stopped opening or closing after $opened: $(tail -n1 "$E2E_WORK/driver.err")" >&2
        break
    fi
done
final_events=$(logged_events)
make_lines=$(count_lines "$HOST is alive!" "$E2E_LOG")
break_lines=$(count_lines "$HOST has died!" "$E2E_LOG")
stop_program
tr -d '\r' <"$E2E_WORK/follow-text.out" >"$STATUS_LOG"
program_running && echo "soak: tarnwell.exe did not end on a close request" >&2

# --- the report ----------------------------------------------------------------------------------

echo
echo "Samples (memory in kB: private = clean + dirty private pages; files = open descriptors;" \
    "srv = the Wine server; '-' = not reported by Wine)"
{
    echo "$SAMPLE_HEADER"
    cat "$SAMPLES"
} | column -t

kb_mb() { awk -v k="$1" 'BEGIN { if (k == "-") print "-"; else printf "%+.2f MB", k / 1024 }'; }
half=$(awk -v d="$DURATION" 'BEGIN { print d / 2 }')
echo
echo "Summary over $(awk 'END { print $1 }' "$SAMPLES") s, $(grep -c . "$SAMPLES") samples"
for column in "3 resident" "4 private" "5 private-dirty" "6 data" "10 server-resident"; do
    read -r col name <<<"$column"
    read -r first last < <(first_last "$col")
    printf '  %-17s %s -> %s kB; growth per hour: %s (all samples), %s (second half)\n' \
        "$name" "$first" "$last" "$(kb_mb "$(slope_per_hour "$col" 0)")" \
        "$(kb_mb "$(slope_per_hour "$col" "$half")")"
done
echo "  (private holds clean pages of Wine's DLLs while no other process maps them, so it moves with"
echo "   the other Wine programs on the machine; private-dirty and data are the figures for a leak)"
for column in "7 program-files" "8 server-files" "9 server-sockets" "11 raw-sockets"; do
    read -r col name <<<"$column"
    read -r lo hi < <(column_range "$col")
    printf '  %-17s %s to %s\n' "$name" "$lo" "$hi"
done
for column in "12 GDI-objects" "13 USER-objects" "14 handles"; do
    read -r col name <<<"$column"
    read -r lo hi < <(column_range "$col")
    if [[ $lo == - ]]; then
        printf '  %-17s not supported here (the call answers 0 under this Wine)\n' "$name"
    else
        printf '  %-17s %s to %s\n' "$name" "$lo" "$hi"
    fi
done

# The detection delays: each switch of the host, then the first matching status change before
# the next switch. A silence shorter than the 10 s silence rule gives no break and is counted.
delays=$(sort -n "$TOGGLES" "$STATUS_LOG" | awk -v host="$HOST" '
    $2 == "silent" && NF == 2 { dead_from = $1; alive_from = ""; silences++; next }
    $2 == "answering" && NF == 2 { alive_from = $1; dead_from = ""; next }
    index($0, host " has died!") && dead_from != "" {
        d = $1 - dead_from; nd++; sd += d; if (nd == 1 || d < mind) mind = d; if (d > maxd) maxd = d
        dead_from = ""; next }
    index($0, host " is alive!") && alive_from != "" {
        d = $1 - alive_from; na++; sa += d; if (na == 1 || d < mina) mina = d; if (d > maxa) maxa = d
        alive_from = ""; next }
    index($0, host " has died!") { died++ }
    index($0, host " is alive!") { alive++ }
    END {
        printf "silences %d breaks %d", silences, nd
        if (nd) printf " mean %.2f min %.2f max %.2f", sd / nd, mind, maxd
        printf "\nmakes %d", na
        if (na) printf " mean %.2f min %.2f max %.2f", sa / na, mina, maxa
        printf "\n" }')
status_died=$(count_lines "$HOST has died!" "$STATUS_LOG")
status_alive=$(count_lines "$HOST is alive!" "$STATUS_LOG")
echo "  events logged     $make_lines make, $break_lines break ($final_events lines); status changes seen: $status_alive alive, $status_died died"
read -r _ silences _ breaks rest <<<"$(sed -n 1p <<<"$delays")"
echo "  alive -> dead     $breaks breaks after $silences silences; from silencing to \"has died!\" (s): ${rest:-none}"
read -r _ makes rest <<<"$(sed -n 2p <<<"$delays")"
echo "  dead -> alive     $makes makes after answering again; to \"is alive!\" (s): ${rest:-none}"

# What one opening of the Options dialog costs: its three buttons each make an image in the
# process-wide store, which frees it again when the button goes.
design_bytes=0
for bitmap in button_ok button_cancel button_about; do
    read -r w h < <(od -An -t d4 -j 18 -N 8 "$TARNWELL_ROOT/res/$bitmap.bmp")
    design_bytes=$((design_bytes + w * h * 4))
done
echo
echo "Options dialog opened and cancelled $opened times" \
    "(open + close: mean $(awk -v t="$options_ms" -v n="$opened" 'BEGIN { printf "%.0f", n ? t / n : 0 }') ms," \
    "longest $options_longest ms)"
echo "  opens  rss(kB)  private(kB)  dirty(kB)  data(kB)"
awk '{ printf "  %5d  %7s  %11s  %9s  %8s\n", $1, $2, $3, $4, $5 }' "$OPTIONS_LOG"
awk 'NR == 1 { r = $2; p = $3; y = $4; d = $5 } END {
        if ($1 > 0 && $2 != "-" && r != "-")
            printf "  per open: resident %+.1f kB, private %+.1f kB, dirty %+.1f kB, data %+.1f kB\n",
                ($2 - r) / $1, ($3 - p) / $1, ($4 - y) / $1, ($5 - d) / $1 }' "$OPTIONS_LOG"
awk -v b="$design_bytes" 'BEGIN {
    printf "  each open makes 3 button images (%.1f kB of pixels) that go with the dialog;\n", b / 1024
    printf "  a per-open growth near that figure would mean they are kept\n" }'
echo
echo "Files: $E2E_WORK (samples.txt, toggles.txt, status.txt, options.txt), log $E2E_LOG"
