# The end-to-end case of the release installer: in a Wine prefix of its own, made fresh, a
# silent install into a folder named in Cyrillic and Chinese letters; the program, its
# Start-menu shortcut and its uninstall entry; the installed program watching 127.0.0.1; a
# silent upgrade and uninstall refused while it runs; a silent
# install refused over a newer version; the start at sign-in, off by default and on with
# /STARTATSIGNIN; a silent uninstall that leaves no program file, shortcut or start at sign-in of
# its own and keeps the user's settings. Sourced by run_all.sh after harness.sh and cases.sh.

UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwell'
APPROVED_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
# Exit codes of a silent run that refuses: Tarnwell is running; a newer version is installed.
SETUP_EXIT_RUNNING=3
SETUP_EXIT_NEWER_INSTALLED=4

# The value NAME of the registry key HKCU\..., as the driver prints it (any letters; `reg
# query` would print them in the OEM code page); empty when missing.
reg_value() { # key name
    local value
    value=$(drv reg-value "${1#HKCU\\}" "$2")
    [[ $value == missing ]] || printf '%s\n' "$value"
}
uninstall_value() { reg_value "$UNINSTALL_KEY" "$1"; }

# A folder named by an environment variable of the prefix, as a Windows path.
prefix_folder() { # variable
    in_ns wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'
}

unix_path() { in_ns winepath -u "$1" 2>/dev/null; }

# Waits up to SECONDS for the uninstall entry to go: the uninstaller returns at once, and its
# temporary copy removes the entry last.
wait_uninstalled() { # seconds
    local deadline=$((SECONDS + $1))
    while [[ -n $(uninstall_value DisplayName) ]]; do
        ((SECONDS < deadline)) || return 1
        sleep 0.5
    done
}

# Runs the setup silently, with any further options, over the installed version VERSION; sets rc.
setup_over_version() { # setup version [options...]
    in_ns wine reg add "$UNINSTALL_KEY" /v DisplayVersion /d "$2" /f >/dev/null 2>&1
    in_ns wine "$1" /S "${@:3}" >>"$E2E_WORK/tarnwell.out" 2>&1
    rc=$?
}

case_installer() {
    case_results installer_silent_install installer_program_watches \
        installer_refused_while_running installer_keeps_newer_version installer_start_at_sign_in \
        installer_silent_uninstall_keeps_settings
    local version setup
    version=$(sed -n 's/^#define TARNWELL_VERSION_TEXT "\(.*\)"$/\1/p' "$WIN_BUILD/generated/tarnwell_version.h")
    setup=$BUILD_DIR/dist/tarnwell-$version-setup.exe
    if [[ -z $version || ! -f $setup ]]; then
        problem "no installer $setup (run scripts/package)"
        return
    fi
    stop_server
    local main_prefix=$WINEPREFIX main_overrides=$WINEDLLOVERRIDES
    export WINEPREFIX=$E2E_WORK/install-prefix
    # No menu entries for the shortcut on the machine running the test.
    export WINEDLLOVERRIDES="$main_overrides;winemenubuilder.exe=d"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    if start_server && in_ns wine wineboot -i >/dev/null 2>&1; then
        in_ns wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        in_ns wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
            >/dev/null 2>&1
        installer_steps "$setup" "$version"
    else
        problem "cannot make a fresh Wine prefix in $WINEPREFIX"
    fi
    stop_program
    stop_server
    export WINEPREFIX=$main_prefix WINEDLLOVERRIDES=$main_overrides
    start_server
}

installer_steps() { # setup version
    local setup=$1 version=$2 rc
    # Into a folder whose name holds Cyrillic and Chinese letters, as under such a user name.
    local windows_dir='C:\Программы_程序\Tarnwell' install_dir exe shortcut
    in_ns wine "$setup" /S "/D=$windows_dir" >>"$E2E_WORK/tarnwell.out" 2>&1
    rc=$?
    [[ $rc == 0 ]] || problem "silent install exited with $rc"
    install_dir=$WINEPREFIX/drive_c/Программы_程序/Tarnwell
    exe=$install_dir/tarnwell.exe
    shortcut=$(unix_path "$(prefix_folder APPDATA)\Microsoft\Windows\Start Menu\Programs")/Tarnwell.lnk
    [[ -f $exe ]] || problem "no $exe"
    [[ -f $install_dir/uninstall.exe ]] || problem "no uninstall.exe in $install_dir"
    [[ -f $shortcut ]] || problem "no Start-menu shortcut $shortcut"
    local entry value
    for entry in "DisplayName=Tarnwell" "DisplayVersion=$version" "Publisher=Larkspindle" \
        "DisplayIcon=$windows_dir\tarnwell.exe,0" "UninstallString=\"$windows_dir\uninstall.exe\""; do
        value=$(uninstall_value "${entry%%=*}")
        [[ $value == "${entry#*=}" ]] || problem "uninstall entry ${entry%%=*} is \"$value\", not ${entry#*=}"
    done
    value=$(uninstall_value EstimatedSize)
    ((${value:-0} > 0)) || problem "uninstall entry EstimatedSize is \"$value\""
    [[ -z $(reg_value "$RUN_KEY" tarnwell) ]] || problem "a start at sign-in without asking"
    result installer_silent_install
    [[ -f $exe ]] || return

    launch "$exe" 127.0.0.1 && expect_status "127.0.0.1 is alive!" 5000
    result installer_program_watches

    # An upgrade or an uninstall while the program runs stops with its own exit code and leaves
    # the program and its files as they were. The uninstaller runs in place (_?=), so that the
    # exit code is its own and not that of a temporary copy.
    if program_running; then
        local before
        before=$(md5sum <"$exe")
        in_ns wine "$setup" /S >>"$E2E_WORK/tarnwell.out" 2>&1
        rc=$?
        [[ $rc == "$SETUP_EXIT_RUNNING" ]] || problem "silent upgrade while the program runs exited with $rc"
        in_ns wine "$install_dir/uninstall.exe" /S "_?=$windows_dir" >>"$E2E_WORK/tarnwell.out" 2>&1
        rc=$?
        [[ $rc == "$SETUP_EXIT_RUNNING" ]] || problem "silent uninstall while the program runs exited with $rc"
        [[ $(md5sum <"$exe") == "$before" ]] || problem "the running program's file changed"
        expect_no_exit 0 "after the refusals"
        end_with "Exit command" command $EXIT_BUTTON
    else
        problem "the installed program is not running"
    fi
    result installer_refused_while_running

    setup_over_version "$setup" 99.0.0
    [[ $rc == "$SETUP_EXIT_NEWER_INSTALLED" ]] || problem "silent install over version 99.0.0 exited with $rc"
    value=$(uninstall_value DisplayVersion)
    [[ $value == 99.0.0 ]] || problem "installed version \"$value\" after the refusal, not 99.0.0"
    setup_over_version "$setup" 0.9.9 /STARTATSIGNIN
    [[ $rc == 0 ]] || problem "silent install over version 0.9.9 exited with $rc"
    value=$(uninstall_value DisplayVersion)
    [[ $value == "$version" ]] || problem "installed version \"$value\" after the upgrade, not $version"
    result installer_keeps_newer_version
    [[ $(reg_value "$RUN_KEY" tarnwell) == "\"$windows_dir\tarnwell.exe\"" ]] || problem "no Run value after /STARTATSIGNIN"
    result installer_start_at_sign_in

    # Another copy's start at sign-in is not the uninstaller's.
    in_ns wine reg add "$RUN_KEY" /v watchcopy /d 'C:\watchcopy.exe' /f >/dev/null 2>&1
    # Turned off in Task Manager: its mark goes with the value, so a new install is not off.
    in_ns wine reg add "$APPROVED_KEY" /v tarnwell /t REG_BINARY /d 030000000010a5bd93c8d901 /f \
        >/dev/null 2>&1
    in_ns wine "$install_dir/uninstall.exe" /S >>"$E2E_WORK/tarnwell.out" 2>&1
    wait_uninstalled 30 || problem "the uninstall entry is still there 30 s after the uninstall"
    [[ -e $install_dir ]] && problem "left behind: $(ls -A "$install_dir" | tr '\n' ' ')"
    [[ -e $shortcut ]] && problem "the Start-menu shortcut is left"
    [[ -z $(reg_value "$RUN_KEY" tarnwell) ]] || problem "the installed program's Run value is left"
    [[ -z $(reg_value "$APPROVED_KEY" tarnwell) ]] || problem "Task Manager's mark is left"
    [[ $(reg_value "$RUN_KEY" watchcopy) == 'C:\watchcopy.exe' ]] || problem "another copy's Run value went"
    expect_settings tarnwell "$DEFAULT_SETTINGS"
    # The command README gives for removing them.
    in_ns wine reg delete 'HKCU\Software\HKEY_CURRENT_USER\Software\Larkspindle\Tarnwell' /f >/dev/null 2>&1
    [[ $(drv registry tarnwell) == "no key" ]] || problem "settings left after the reg delete of README"
    result installer_silent_uninstall_keeps_settings
}
