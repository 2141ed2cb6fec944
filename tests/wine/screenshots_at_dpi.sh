#!/usr/bin/env bash
# Takes the screenshots of the watch window, its tray menu and balloon, Options, Action, About
# and History again at another display scaling (LogPixels DPI, e.g. 144 for 150 %) into
# build/screenshots/dpi<DPI>, by running the Wine tests that take them, with the test of the
# picture set and tray icon chosen for the scaling (told the DPI in TARNWELL_DPI); then sets
# the prefix back to 96 DPI. The report goes to $RESULTS/wine-dpi<DPI>.xml; fails unless every
# test named ran, and passed.
# Called by scripts/test with WINEPREFIX, DISPLAY and WIN_BUILD set: screenshots_at_dpi.sh DPI
set -uo pipefail
dpi=$1
folder=$BUILD_DIR/screenshots/dpi$dpi
report=${RESULTS:-$BUILD_DIR/results}/wine-dpi$dpi.xml
tests=(WatchWindowTest.ButtonsShowTheirNormalHoverAndPressedLooks
    WatchWindowTest.PicturesAndTrayIconAreThoseDrawnForTheSystemScaling
    WatchWindowTest.TheTrayMenuOffersItsItemsInOrder
    WatchWindowTest.AMakeShowsABalloonAndTheTipSaysTheState
    OptionsDialog.MembersAreLoadedIntoTheControlsAndSavedBackOnOk
    ActionDialog.MembersAreLoadedIntoTheControlsAndSavedBack
    AboutBox.ItsThreeButtonsAreAnimatedPictureButtonsAndOnlyTheBannerStandsStill
    HistoryWindow.ShowsTheChecksAndFollowsTheUser)

set_dpi() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }

mkdir -p "$folder" "$(dirname "$report")"
rm -f "$report"
wineserver -k 2>/dev/null
set_dpi "$dpi"
filter=$(IFS=:; echo "${tests[*]}")
GTEST_OUTPUT="xml:$(winepath -w "$report" 2>/dev/null)" TARNWELL_SCREENSHOTS=$folder TARNWELL_DPI=$dpi \
    wine "$WIN_BUILD/tests/tarnwell_wine_tests.exe" --gtest_filter="$filter" | tr -d '\r' |
    grep -E '^\[  (PASSED|FAILED)|FAILED|Options picture'
status=${PIPESTATUS[0]}
set_dpi 96
wineserver -w
# Each name matches one test at most: all of them ran when as many completed.
ran=$(grep -c '<testcase [^>]*result="completed"' "$report" 2>/dev/null)
((${ran:-0} == ${#tests[@]})) || { echo "FAILED: ${ran:-0} of the ${#tests[@]} tests ran at $dpi DPI"; status=1; }
echo "screenshots at $dpi DPI in $folder"
exit "$status"
