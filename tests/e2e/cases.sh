# The end-to-end cases, one function per run of tarnwell.exe; a run that shows several things
# reports each as a result of its own. Sourced by run_all.sh after harness.sh.

# The 28 values a first run leaves behind: name, registry type, value.
DEFAULT_SETTINGS="AlwaysOnTop REG_DWORD 1
BreakLaunch REG_DWORD 0
BreakLaunchFilename REG_SZ
BreakLog REG_DWORD 0
BreakLogFilename REG_SZ
BreakNotify REG_DWORD 1
BreakPlaySound REG_DWORD 1
BreakSoundFilename REG_SZ
CheckBreak REG_DWORD 1
CheckFrequency REG_DWORD 4
CheckMake REG_DWORD 1
Hide REG_DWORD 0
MakeLaunch REG_DWORD 0
MakeLaunchFilename REG_SZ
MakeLog REG_DWORD 0
MakeLogFilename REG_SZ
MakeNotify REG_DWORD 1
MakePlaySound REG_DWORD 1
MakeSoundFilename REG_SZ
SlowLaunch REG_DWORD 0
SlowLaunchFilename REG_SZ
SlowLog REG_DWORD 0
SlowLogFilename REG_SZ
SlowLossPercent REG_DWORD 0
SlowNotify REG_DWORD 1
SlowPlaySound REG_DWORD 1
SlowRoundTripMs REG_DWORD 0
SlowSoundFilename REG_SZ"

# The settings section of APP, one "name type value" line per value, sorted.
stored_settings() { # app
    drv registry "$1" | sed 's/ *$//' | LC_ALL=C sort
}

# Notes a problem unless APP's section holds exactly EXPECTED (lines as above, any order), at
# once or within SECONDS.
expect_settings() { # app expected [seconds]
    local actual expected difference deadline=$((SECONDS + ${3:-0}))
    expected=$(LC_ALL=C sort <<<"$2")
    until actual=$(stored_settings "$1"); [[ $actual == "$expected" ]]; do
        ((SECONDS < deadline)) || break
        sleep 0.2
    done
    [[ $actual == "$expected" ]] && return 0
    difference=$(diff <(echo "$expected") <(echo "$actual") | grep '^[<>]' | head -4 | tr '\n' ';')
    problem "settings of $1 differ (< expected, > stored): $difference"
    return 1
}

# DEFAULT_SETTINGS with some lines replaced: each argument is a whole "name type value" line.
defaults_with() {
    local settings=$DEFAULT_SETTINGS line
    for line in "$@"; do
        settings=$(awk -v l="$line" 'BEGIN { split(l, w, " ") } $1 == w[1] { print l; next } { print }' \
            <<<"$settings")
    done
    echo "$settings"
}

# ImageMagick's convert by its full path: a different program of that name may come first on PATH.
convert() { /usr/bin/convert "$@"; }

expect_text() { # control expected-text
    local text
    text=$(drv text "$1")
    [[ $text == "$2" ]] && return 0
    problem "control $1 shows \"$text\", not \"$2\""
    return 1
}

expect_info() { # field expected
    # A driver run that printed nothing (seen once on a loaded machine) is asked again.
    local value="" attempt
    for attempt in 1 2 3; do
        value=$(info_field "$(drv info)" "$1")
        [[ -n $value ]] && break
        note "driver printed no $1 (attempt $attempt)"
        sleep 0.3
    done
    [[ $value == "$2" ]] || problem "info $1 is \"$value\", not \"$2\""
}

# --- start-up, the window, the three ways out and the settings ------------------------------

case_first_run() {
    case_results first_run_window exit_command_ends_with_code_0 first_run_saves_28_defaults
    [[ $(drv registry tarnwell) == "no key" ]] || problem "a settings key exists before the first run"
    launch "$E2E_EXE" || return
    local info mapped
    info=$(drv info)
    mapped=$(info_field "$info" mapped)
    [[ $(info_field "$info" units) == "215 33" ]] ||
        problem "client area is $(info_field "$info" units) dialog units, not 215 33"
    [[ "215 33 $(info_field "$info" client)" == "$mapped" ]] ||
        problem "client area $(info_field "$info" client) px differs from 215 x 33 units ($mapped)"
    [[ $(info_field "$info" visible) == 1 ]] || problem "window not visible"
    expect_text $STATUS "Ready"
    result first_run_window

    end_with "Exit command" command $EXIT_BUTTON
    result exit_command_ends_with_code_0

    expect_settings tarnwell "$DEFAULT_SETTINGS"
    result first_run_saves_28_defaults
}

case_escape() {
    case_results escape_ends_and_saves
    launch "$E2E_EXE" && end_with "Escape key" key $HOST_FIELD $VK_ESCAPE &&
        expect_settings tarnwell "$DEFAULT_SETTINGS"
    result escape_ends_and_saves
}

case_close_and_boolean_2() {
    case_results boolean_2_reads_false close_request_ends_and_saves_boolean_as_0
    drv set-dword tarnwell AlwaysOnTop 2 >/dev/null
    launch "$E2E_EXE" || return
    expect_info topmost 0
    result boolean_2_reads_false
    end_with "close request" close &&
        expect_settings tarnwell "$(defaults_with "AlwaysOnTop REG_DWORD 0")"
    result close_request_ends_and_saves_boolean_as_0
}

# A copy under another name keeps its settings under its own name.
case_renamed_copy() {
    case_results renamed_copy_uses_own_key
    local copy=$BUILD_DIR/e2e/watchcopy.exe
    local others="AlwaysOnTop REG_DWORD 0
CheckFrequency REG_DWORD 7
Hide REG_DWORD 1
MakeLog REG_DWORD 1
MakeLogFilename REG_SZ C:\\elsewhere.log"
    mkdir -p "$(dirname "$copy")"
    cp "$E2E_EXE" "$copy"
    drv set-dword tarnwell AlwaysOnTop 0 CheckFrequency 7 Hide 1 MakeLog 1 >/dev/null
    drv set-string tarnwell MakeLogFilename 'C:\elsewhere.log' >/dev/null
    if launch "$copy"; then
        expect_info topmost 1
        expect_info visible 1
        end_with "Exit command" command $EXIT_BUTTON &&
            expect_settings watchcopy "$DEFAULT_SETTINGS"
        expect_settings tarnwell "$others"
    fi
    result renamed_copy_uses_own_key
}

# --- watching 127.0.0.1: make, break, make, with the event actions ----------------------------

# The time from the host's silence to the break event, in seconds (for the report).
BREAK_DELAY=""

case_alive_dead_alive() {
    case_results make_event_launches_command screenshot_of_live_host alive_dead_alive \
        tray_icon_follows_events history_window event_log_lines
    local marker=$E2E_DRIVE_DIR/marker.txt
    watch_settings MakeLaunch 1
    drv set-string tarnwell MakeLaunchFilename 'cmd /c echo made> C:\e2e\marker.txt' >/dev/null
    launch "$E2E_EXE" 127.0.0.1 && expect_status "127.0.0.1 is alive!" 5000 || return

    # The make event launched the command: its marker file appears in the prefix's C: drive.
    if ! wait_until 5 test -s "$marker"; then
        problem "no marker file within 5 s of the make event"
    elif [[ $(tr -d '\r' <"$marker") != made ]]; then
        problem "marker file holds \"$(tr -d '\r' <"$marker")\""
    fi
    result make_event_launches_command

    take_screenshot watch_alive
    result screenshot_of_live_host
    local tray_wrong
    tray_wrong=$(tray_icon_problem alive)

    # Silence the host. Its last reply came at most one check period (1 s) before this moment.
    # The break comes at the first check tick more than 10 s after that reply, so 10 to 11 s
    # after it, up to 13 s allowed for a busy machine. Measured from this moment that is 9 s at
    # the earliest (a reply a full period earlier) and about 13 s at the latest: 9.0 to 13.5 s
    # is accepted, the half second covering the driver's polling and late timer messages.
    local silent_at died died_at
    silent_at=$(date +%s.%N)
    silence_host 1
    if died=$(drv wait-text $STATUS "127.0.0.1 has died!" 16000); then
        died_at=${died#* }
        BREAK_DELAY=$(awk -v a="$silent_at" -v b="$died_at" 'BEGIN { printf "%.2f", b - a }')
        awk -v d="$BREAK_DELAY" 'BEGIN { exit !(d >= 9.0 && d <= 13.5) }' ||
            problem "break came $BREAK_DELAY s after the host went silent, outside 9.0 to 13.5 s"
    else
        problem "no \"127.0.0.1 has died!\" within 16 s of silencing the host"
    fi
    [[ -n $tray_wrong ]] || tray_wrong=$(tray_icon_problem dead)
    sleep 3 # silent past the break too, so that History's lost checks lie on both sides of it
    silence_host 0
    expect_status "127.0.0.1 is alive!" 5000 "of the host answering again"
    result alive_dead_alive
    [[ -n $BREAK_DELAY ]] && note "break event $BREAK_DELAY s after the host went silent"
    [[ -n $tray_wrong ]] || tray_wrong=$(tray_icon_problem alive)
    [[ -z $tray_wrong ]] || problem "$tray_wrong"
    result tray_icon_follows_events

    # The History window, from the system menu: every check, the silence's lost ones, one break
    # and two makes, and on the screen a picture with answered bars and red lost marks. A check
    # is lost only once the silence limit (10 s) has passed unanswered, so the figures are read
    # until the lost count stops changing (about 11 s after the answers came back).
    drv post 0x112 $IDM_HISTORY 0 >/dev/null
    local history lost="" settled=""
    for _ in {1..15}; do
        history=$(drv history "History - 127.0.0.1" 5000) || break
        [[ $history =~ lost:\ ([0-9]+) && ${BASH_REMATCH[1]} == "$lost" ]] && settled=1 && break
        lost=${BASH_REMATCH[1]:-}
        sleep 2
    done
    if [[ -n $history ]]; then
        note "history: $(grep figures <<<"$history"); the log's silence: $(logged_silence) checks"
        [[ -n $settled ]] || problem "History's lost count did not settle"
        xwd -root -display "$DISPLAY" | convert xwd:- "$BUILD_DIR/screenshots/e2e_history.png"
        expect_history "$history" "$(logged_silence)"
        # Saved as CSV into a folder whose name holds Cyrillic and Chinese letters.
        mkdir -p "$E2E_DRIVE_DIR/история 历史"
        drv save-as "History - 127.0.0.1" 'C:\e2e\история 历史\checks.csv' 5000 ||
            problem "no file dialog from History's Save as..."
        local csv=$E2E_DRIVE_DIR/история\ 历史/checks.csv
        local iso='[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}\.[0-9][+-][0-9]{2}:[0-9]{2}'
        [[ -f $csv && $(head -1 "$csv") == $'time,round trip ms\r' ]] &&
            (($(grep -cE "^$iso,[0-9]*"$'\r$' "$csv") >= 12 &&
                $(grep -cvE "^$iso,[0-9]*"$'\r$' "$csv") == 1)) ||
            problem "History's CSV: $(head -3 "$csv" 2>&1 | tr '\r\n' ' ;')"
    else
        problem "no History window within 5 s of its system-menu item"
    fi
    result history_window

    end_with "Exit command" command $EXIT_BUTTON
    expect_event_log "127.0.0.1 is alive" "127.0.0.1 has died" "127.0.0.1 is alive"
    result event_log_lines
}

# The checks the silence of the alive, dead, alive story lost, from the log's break and second
# make (period 1 s): the break came at the first tick more than 10 s after the last answered
# check, 11 ticks after it; the make at the first answered one; the ticks between are lost.
logged_silence() {
    local times
    mapfile -t times < <(log_seconds "$E2E_LOG" | cut -d' ' -f1)
    ((${#times[@]} == 3)) && echo $((times[2] - times[1] + 10))
}

# Notes a problem unless the History window's report (driver history) of the alive, dead,
# alive story counts its checks with the logged silence's worth lost (give or take 2, for the
# log's whole seconds and late timers), lists its three events newest first, and shows both
# colours.
expect_history() { # report lost
    local sent lost events
    read -r sent lost < <(sed -n 's/.*Checks sent: \([0-9]*\), lost: \([0-9]*\) (.*/\1 \2/p' <<<"$1")
    if [[ -z $sent ]]; then
        problem "the History window shows no checks: $(grep figures <<<"$1")"
        return
    fi
    ((sent >= 12 && lost < sent && ${2:-0} > 0 && lost >= $2 - 2 && lost <= $2 + 2)) ||
        problem "History: $sent checks sent, $lost lost; not 12 or more, ${2:-?} (± 2) lost as logged"
    grep -q 'Events: 2 makes, 1 break' <<<"$1" || problem "History does not count 2 makes and 1 break"
    # (A finding of where the path stops, when the trace ended within the silence, aside.)
    events=$(sed -n 's/^event: [0-9:]*\( [AP]M\)\{0,1\}  \(127\.0\.0\.1 \)/\2/p' <<<"$1" | tr '\n' ';')
    [[ $events == "127.0.0.1 is alive!;127.0.0.1 has died!;127.0.0.1 is alive!;" ]] ||
        problem "History events, newest first, are \"$events\""
    grep -q '^answered-pixels: [1-9]' <<<"$1" || problem "no answered bars on the screen"
    grep -q '^lost-pixels: [1-9]' <<<"$1" || problem "no red lost marks on the screen"
}

# Which of the three tray icons the notification area shows, from the colours at the right end
# of the virtual desktop's taskbar: the alive icon is drawn in #00FF00, the dead one in
# #FF0000 and the waiting one in #C0C0C0 (the taskbar itself is white and light grey).
# The X window of the Wine virtual desktop, and where it is: "x y width height" on the screen.
desktop_window() { xwininfo -root -tree | awk '/"Default - Wine desktop"/ { print $1; exit }'; }
desktop_geometry() {
    local desktop
    desktop=$(desktop_window)
    [[ -n $desktop ]] && xwininfo -id "$desktop" | awk '/Absolute upper-left X/ { x = $NF }
        /Absolute upper-left Y/ { y = $NF } /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}

tray_icon_shown() { # the slow icon is drawn in #FFFF00
    local x y w h
    read -r x y w h <<<"$(desktop_geometry)"
    [[ -n $x ]] || { echo "no-desktop"; return; }
    xwd -root -display "$DISPLAY" | convert xwd:- -crop "120x24+$((x + w - 120))+$((y + h - 24))" +repage txt:- |
        awk '/#00FF00/ { g++ } /#FF0000/ { r++ } /#C0C0C0/ { w++ } /#FFFF00/ { y++ }
            END { if (g >= 40) print "alive"; else if (r >= 40) print "dead";
                  else if (y >= 40) print "slow"; else if (w >= 40) print "waiting"; else print "none" }'
}

# Prints what is wrong unless the tray shows the icon within 2 s.
tray_icon_problem() { # alive|dead|waiting
    local shown=""
    for _ in $(seq 20); do
        shown=$(tray_icon_shown)
        [[ $shown == "$1" ]] && return
        sleep 0.1
    done
    echo "the tray shows the $shown icon, not the $1 one"
}

expect_tray_icon() { # alive|dead|waiting
    local wrong
    wrong=$(tray_icon_problem "$1")
    [[ -z $wrong ]] || problem "$wrong"
}

# Saves the watch window, cropped from the whole screen, as BUILD_DIR/screenshots/NAME.png and
# checks that it shows the green light of a live host (or the light of the COLOUR given).
take_screenshot() { # name [colour]
    local out=$BUILD_DIR/screenshots/$1.png x y left top right bottom crop="" want=${2:-#008000}
    mkdir -p "$(dirname "$out")"
    # Window positions are the virtual desktop's; the desktop is an X window of its own.
    read -r x y _ <<<"$(desktop_geometry)"
    read -r left top right bottom <<<"$(drv rect)"
    [[ -n $x && -n $bottom ]] && crop="$((right - left))x$((bottom - top))+$((x + left))+$((y + top))"
    # Each reply flashes the light bright green (#00FF00) until the next 100 ms light tick; the
    # steady light of a live host is dark green (#008000). A picture caught in a flash is taken
    # again, so that the saved one shows the steady light.
    local colours=""
    for _ in 1 2 3 4 5; do
        xwd -root -display "$DISPLAY" | convert xwd:- ${crop:+-crop "$crop" +repage} "$out"
        [[ -s $out ]] || continue
        colours=$(convert "$out" txt:- | grep -oi -e "$want" -e '#00FF00' | tr 'a-f' 'A-F' | sort -u)
        grep -q "$want" <<<"$colours" && break
        sleep 0.15
    done
    if [[ ! -s $out ]]; then
        problem "no screenshot written"
        return
    fi
    note "screenshot $out (${crop:-whole screen})"
    [[ -n $colours ]] || problem "the screenshot shows no green light"
    [[ $want == '#008000' ]] || grep -q "$want" <<<"$colours" || problem "the screenshot shows no $want light"
}

case_unknown_host() {
    case_results unknown_host always_on_top_1_topmost
    drv set-dword tarnwell AlwaysOnTop 1 >/dev/null
    launch "$E2E_EXE" nosuch-host.test || return
    expect_status "Unknown - nosuch-host.test!" 5000
    result unknown_host
    expect_info topmost 1
    result always_on_top_1_topmost
}

# --- hidden while waiting -----------------------------------------------------------------------

case_hide() {
    case_results hide_starts_hidden hide_shown_again_at_make
    watch_settings Hide 1
    silence_host 1
    # The X server tells about every window made and mapped on the virtual desktop: a show
    # shorter than the driver's polling still leaves a map notification there.
    drv find-window Tarnwell >/dev/null # the virtual desktop exists once a program has a window station
    local desktop xev_log=$E2E_WORK/xev.out
    desktop=$(desktop_window)
    [[ -n $desktop ]] || problem "no X window of the virtual desktop"
    rm -f "$xev_log" "$E2E_WORK/never-shown.out"
    start_in_ns xev stdbuf -oL xev -id "$desktop" -event substructure
    start_in_ns never-shown timeout 30 wine "$E2E_DRIVER" never-shown 15000 1500
    wait_until 5 grep -q ready "$E2E_WORK/never-shown.out"
    start_program "$E2E_EXE" 127.0.0.1
    wait "${E2E_BACKGROUND[never-shown]}" ||
        problem "window shown or missing while waiting hidden: $(tail -n1 "$E2E_WORK/never-shown.out" | tr -d '\r')"
    expect_info visible 0
    expect_text $STATUS "Waiting for 127.0.0.1..."
    expect_tray_icon waiting
    local window
    window=$(xwininfo -root -tree | awk '/"Tarnwell": \("tarnwell.exe"/ { print $1; exit }')
    # The second line of each notification names the window it is about.
    xev_saw() { awk -v e="^$1" -v w="window $window," '$0 ~ e { getline; if (index($0, w)) found = 1 }
        END { exit !found }' "$xev_log"; }
    if [[ -z $window ]]; then
        problem "no X window of the watch window"
    elif ! xev_saw CreateNotify; then
        problem "the X event log does not show the watch window made: $(head -c 200 "$xev_log")"
    elif xev_saw MapNotify; then
        problem "the watch window was mapped while it should stay hidden"
    fi
    result hide_starts_hidden

    silence_host 0
    expect_status "127.0.0.1 is alive!" 5000 "of the host answering"
    drv wait-visible 1 3000 || problem "window not shown after the make event"
    result hide_shown_again_at_make
}

# --- the tray: its menu, the notification and the mute ------------------------------------------

# Opens the tray menu as the shell does on a right click (WM_CONTEXTMENU), and presses KEY in it.
tray_menu() { # key
    drv post 1125 192 0x7B >/dev/null && drv menu-key "$1" 5000 >/dev/null ||
        problem "the tray menu did not take \"$1\""
}

# One run: a make shows a balloon, the menu hides and shows the window, the balloon goes in a
# while, muted a break logs its line but shows no balloon and leaves the window hidden,
# unmuted the next make shows one again; Options, About and Exit from the menu.
case_tray_story() {
    case_results make_shows_balloon tray_menu_hides_and_shows balloon_goes_away \
        muted_break_logs_without_balloon unmuted_make_shows_balloon tray_menu_options_about_exit
    watch_settings
    launch "$E2E_EXE" 127.0.0.1 && expect_status "127.0.0.1 is alive!" 5000 || return
    drv balloon 1 5000 || problem "no balloon within 5 s of the make event"
    result make_shows_balloon

    tray_menu h
    drv wait-visible 0 3000 || problem "Hide did not hide the window"
    tray_menu s
    drv wait-visible 1 3000 || problem "Show did not show the window"
    result tray_menu_hides_and_shows

    drv balloon 0 15000 || problem "the balloon stayed 15 s"
    result balloon_goes_away

    tray_menu h
    tray_menu m
    silence_host 1
    expect_status "127.0.0.1 has died!" 16000
    drv balloon 1 3000 && problem "a balloon showed while muted"
    expect_info visible 0
    expect_event_log "127.0.0.1 is alive" "127.0.0.1 has died"
    result muted_break_logs_without_balloon

    tray_menu m
    silence_host 0
    expect_status "127.0.0.1 is alive!" 5000
    drv balloon 1 5000 || problem "no balloon after the mute ended"
    drv wait-visible 1 3000 || problem "the make did not bring the window back"
    result unmuted_make_shows_balloon

    local caption
    for caption in Options "About Tarnwell"; do
        tray_menu "${caption:0:1}"
        wait_for_window "$caption" 3 || problem "the menu opened no \"$caption\""
        drv click "$caption" 2 >/dev/null
        wait_for_window "$caption" 3 gone || problem "\"$caption\" stayed open"
    done
    tray_menu x
    if wait_program_exit 10; then
        [[ $TW_RC == 0 ]] || problem "exit code $TW_RC after the menu's Exit, not 0"
        # Exit saved the settings, the notification flags among them.
        local stored
        stored=$(stored_settings tarnwell)
        [[ $(wc -l <<<"$stored") == 28 && $(grep -c "Notify REG_DWORD 1" <<<"$stored") == 3 ]] ||
            problem "the settings after Exit are not the run's 28 values"
    else
        problem "tarnwell.exe still runs 10 s after the menu's Exit"
    fi
    expect_event_log "127.0.0.1 is alive" "127.0.0.1 has died" "127.0.0.1 is alive"
    result tray_menu_options_about_exit
}

# --- Enter on the buttons -------------------------------------------------------------------

case_enter_on_buttons() {
    case_results always_on_top_0_not_topmost enter_on_exit_starts_watch enter_on_options_starts_watch
    watch_settings AlwaysOnTop 0
    launch "$E2E_EXE" || return
    expect_info topmost 0
    result always_on_top_0_not_topmost

    drv set-text $HOST_FIELD 127.0.0.1
    drv key $EXIT_BUTTON $VK_RETURN
    local status
    status=$(drv wait-change $STATUS "Ready" 5000)
    case $status in
    "Waiting for 127.0.0.1..." | "127.0.0.1 is alive!") ;;
    *) problem "status after Enter on Exit is \"$status\"" ;;
    esac
    expect_no_exit 3 "Enter on the Exit button"
    result enter_on_exit_starts_watch

    # While the host is alive, replies leave the status line alone: only a new start writes it
    # again, so an emptied status line shows whether Enter started a watch.
    expect_status "127.0.0.1 is alive!" 5000
    drv set-text $STATUS ""
    drv key $OPTIONS_BUTTON $VK_RETURN
    status=$(drv wait-change $STATUS "" 5000)
    case $status in
    "Waiting for 127.0.0.1..." | "127.0.0.1 is alive!") ;;
    *) problem "status after Enter on Options is \"$status\"" ;;
    esac
    expect_no_window Options 3
    expect_no_exit 0 "Enter on the Options button"
    end_with "Exit command" command $EXIT_BUTTON
    result enter_on_options_starts_watch
}

# --- the session: logoff and a stopped process --------------------------------------------------

# A logoff ends the process without the modal run returning. Options confirmed with OK writes
# the settings at once; the end of the session writes them again (the key is emptied in
# between to tell the two writes apart).
case_end_session() {
    case_results options_ok_saves_at_once logoff_saves_settings
    launch "$E2E_EXE" || return
    drv options-period 13 5000 || problem "Options did not take the period 13"
    expect_settings tarnwell "$(defaults_with "CheckFrequency REG_DWORD 13")" 5
    result options_ok_saves_at_once

    drv clear-settings >/dev/null || problem "could not clear the settings before the logoff"
    timeout 60 ip netns exec "$E2E_NS" wine wineboot --end-session --force >/dev/null 2>&1
    wait_program_exit 15 || problem "tarnwell.exe still runs 15 s after the end of the session"
    expect_settings tarnwell "$(defaults_with "CheckFrequency REG_DWORD 13")"
    result logoff_saves_settings
}

# A process that could not run for 12 s (as in sleep or a paused machine) while the host went
# on answering: more than the 10 s silence limit, and its first tick comes more than a period
# and the 5 s margin after the one before. No break event, no break log line.
case_stopped_process() {
    case_results stopped_12_s_gives_no_break
    local pids
    watch_settings
    launch "$E2E_EXE" 127.0.0.1 && expect_status "127.0.0.1 is alive!" 5000 || return
    pids=$(namespace_pids tarnwell.exe)
    if [[ -z $pids ]]; then
        problem "no tarnwell.exe process found in the namespace"
    else
        kill -STOP $pids
        sleep 12
        kill -CONT $pids
        expect_steady $STATUS "127.0.0.1 is alive!" 5000
    fi
    end_with "Exit command" command $EXIT_BUTTON
    expect_event_log "127.0.0.1 is alive"
    result stopped_12_s_gives_no_break
}

# --- started when the user signs in ---------------------------------------------------------

RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
START_BOX=1040

# A copy in a folder whose name holds a blank, Cyrillic and Chinese letters, with its log file
# and a launched program in such folders: its box over another copy's Run value, the value
# following a new start, the make's program and log line, wineboot (a new session) starting it
# hidden and watching; then turned off as Task Manager does it: Cancel changes nothing, the box
# shows it off, checking it turns it on there, and the box takes the value away; Exit ends it.
case_start_at_sign_in() {
    case_results start_at_sign_in
    local folder='C:\e2e\вход 登录' logs='C:\e2e\журнал 日志' tools='C:\e2e\программа 程序'
    local line="\"$folder\\tarnwell.exe\"" run=${RUN_KEY#HKCU\\}
    local approved='Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
    mkdir -p "$E2E_DRIVE_DIR/вход 登录" "$E2E_DRIVE_DIR/журнал 日志" "$E2E_DRIVE_DIR/программа 程序"
    cp "$E2E_EXE" "$E2E_DRIVE_DIR/вход 登录/tarnwell.exe"
    cp "$WINEPREFIX/drive_c/windows/system32/cmd.exe" "$E2E_DRIVE_DIR/программа 程序/"
    in_ns wine reg add "$RUN_KEY" /v tarnwell /d '"C:\moved\tarnwell.exe"' /f >/dev/null 2>&1
    [[ $(drv reg-value "$run" tarnwell) == '"C:\moved\tarnwell.exe"' ]] ||
        problem "another copy's Run value did not go in: $(drv reg-value "$run" tarnwell)"
    drv set-dword tarnwell Hide 1 MakeLog 1 MakeLaunch 1 >/dev/null
    drv set-string tarnwell MakeLogFilename "$logs\\tw.log" \
        MakeLaunchFilename "\"$tools\\cmd.exe\" /c echo made> \"$tools\\made.txt\"" >/dev/null
    # Checks or clears the box (and presses OK or Cancel); prints the state the box showed, the
    # Run value and Task Manager's mark.
    start_box() { echo "$(drv options-check $START_BOX "$1" 5000 ${2:-}) $(drv reg-value "$run" tarnwell) $(
        drv reg-value "$approved" tarnwell)"; }
    silence_host 1 # no make before the host is typed
    launch "$E2E_DRIVE_DIR/вход 登录/tarnwell.exe" 127.0.0.2 &&
        [[ $(start_box 1) == "0 $line 127.0.0.2 "* ]] || problem "the box wrote no Run value"
    silence_host 0
    enter_host 127.0.0.1
    expect_status "127.0.0.1 is alive!" 5000
    [[ $(drv reg-value "$run" tarnwell) == "$line 127.0.0.1" ]] ||
        problem "the Run value is \"$(drv reg-value "$run" tarnwell)\", not $line 127.0.0.1"
    wait_until 5 test -f "$E2E_DRIVE_DIR/программа 程序/made.txt" ||
        problem "the launched program left no made.txt"
    E2E_LOG=$E2E_DRIVE_DIR/журнал\ 日志/tw.log expect_event_log "127.0.0.1 is alive"
    end_with "Exit command" command $EXIT_BUTTON
    silence_host 1
    timeout 30 ip netns exec "$E2E_NS" wine wineboot >/dev/null 2>&1
    drv wait-window 15000 || problem "no watch window within 15 s of the new session"
    expect_info visible 0
    expect_text $STATUS "Waiting for 127.0.0.1..."
    # Turned off in Task Manager (a flag of 3 and the time): Cancel with the box checked changes
    # nothing; an OK with the box as shown leaves it off; checking it turns it on there (2);
    # clearing it takes the Run value away.
    local off=030000000010a5bd93c8d901 row shown
    in_ns wine reg add "HKCU\\$approved" /v tarnwell /t REG_BINARY /d $off /f >/dev/null 2>&1
    for row in "1 cancel|0 $line 127.0.0.1 $off" "0|0 $line 127.0.0.1 03" "1|0 $line 127.0.0.1 02" \
        "0|1 missing "; do
        shown=$(start_box ${row%%|*})
        [[ $shown == "${row#*|}"* ]] ||
            problem "the box set to ${row%%|*}: \"$shown\", not \"${row#*|}...\""
    done
    drv command $EXIT_BUTTON
    wait_for_window Tarnwell 10 gone || problem "the copy started at sign-in still runs 10 s after Exit"
    silence_host 0
    in_ns wine reg delete "$RUN_KEY" /va /f >/dev/null 2>&1
    in_ns wine reg delete "HKCU\\$approved" /va /f >/dev/null 2>&1
    result start_at_sign_in
}
