#!/usr/bin/env bash
# The real program on a fresh copy of the demo installation under Xvfb, driven with xdotool:
# it starts with the name list, hands over to the suite launcher on "0", and refuses to start,
# naming the file, when the school's settings are missing or the criteria lack levels.
# Usage: startup.sh GAISAN_EXECUTABLE   (GAISAN_SCREENSHOT_DIR, when set, receives screenshots)
set -euo pipefail
source "$(dirname "$0")/on-xvfb.sh"

# 1. A good installation: the name list appears; "0" starts the launcher stand-in with "001"
#    and ends the program with status 0.
start_program
window=$(window_named "概算ドリル") || fail "the name list did not appear"
sleep 0.5
screenshot e2e-name-selection
xdotool windowfocus --sync "$window" key 0
expect_exit 0
expect_launcher_called

# 2. Without 共通データ.txt the program names the file in a message box and ends with status 1.
rm "$work/demo/data/共通データ.txt"
start_program
box=$(window_named "設定ファイルのエラー") || fail "no message box for the missing file"
sleep 0.3
screenshot e2e-missing-file
xdotool windowfocus --sync "$box" key Return
expect_exit 1

# 3. A criteria file with only its title line: refused at start-up, naming the missing levels,
#    instead of every level ending its runs at once as a time-up.
"$repo/scripts/lay-out-demo" "$work" >/dev/null
rm -f "$work/demo/data/gaisan/成績累積データ.dat"
head -n 1 "$repo/demo/data/gaisan/タイム回数データ.txt" >"$work/demo/data/gaisan/タイム回数データ.txt"
start_program
box=$(window_named "設定ファイルのエラー") || fail "no message box for the criteria without levels"
sleep 0.3
screenshot e2e-criteria-without-levels
xdotool windowfocus --sync "$box" key Return
expect_exit 1
[[ ! -e $work/demo/data/gaisan/成績累積データ.dat ]] || fail "a refused start-up wrote a results file"
echo "startup end to end: ok"
