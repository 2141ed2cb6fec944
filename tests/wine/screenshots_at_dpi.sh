#!/usr/bin/env bash
# Takes the screenshots of the watch window, Options, Action, About and History again at another display
# scaling (LogPixels DPI, e.g. 144 for 150 %) into build/screenshots/dpi<DPI>, by running the
# Wine tests that take them, with the test of the picture set and tray icon chosen for the
# scaling (told the DPI in TARNWELL_DPI); then sets the prefix back to 96 DPI. Exits with the
# tests' status.
# Called by scripts/test with WINEPREFIX, DISPLAY and WIN_BUILD set: screenshots_at_dpi.sh DPI
set -uo pipefail
dpi=$1
folder=$BUILD_DIR/screenshots/dpi$dpi
tests='HistoryWindow.*:WatchWindowTest.ButtonsShow*:WatchWindowTest.PicturesAndTrayIcon*:OptionsDialog.MembersAreLoaded*:ActionDialog.MembersAreLoaded*:AboutBox.ItsThree*'

set_dpi() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }

mkdir -p "$folder"
wineserver -k 2>/dev/null
set_dpi "$dpi"
GTEST_OUTPUT="" TARNWELL_SCREENSHOTS=$folder TARNWELL_DPI=$dpi wine "$WIN_BUILD/tests/tarnwell_wine_tests.exe" \
    --gtest_filter="$tests" | tr -d '\r' | grep -E '^\[  (PASSED|FAILED)|FAILED|Options picture'
status=${PIPESTATUS[0]}
set_dpi 96
wineserver -w
echo "screenshots at $dpi DPI in $folder"
exit "$status"
