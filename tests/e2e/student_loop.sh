#!/usr/bin/env bash
# A student's whole visit with the real program on a copy of the demo installation under Xvfb,
# driven with xdotool as a child would: choose a name, O.K. with "1", start level 1 with "1",
# type two answers (each acknowledged with "+" twice) and let the run time out, see the finish
# screen, back to the menu with Enter, "0" to the name list and "0" to the launcher. The results
# file then holds the one time-up run, and its answers are there for the teacher's analysis
# exactly as they were typed.
# Usage: student_loop.sh GAISAN_EXECUTABLE GAISAN_RECORDS   (GAISAN_SCREENSHOT_DIR: screenshots)
set -euo pipefail

records=$2
source "$(dirname "$0")/on-xvfb.sh"

# Level 1 gets a minimum line of three seconds, so its time limit is fifteen seconds.
criteria=$work/demo/data/gaisan/タイム回数データ.txt
sed -i '2s/^60,90,/60,3,/' "$criteria"

# Presses keys in the visible window whose title is $1, once it is there.
press_in() {
    local title=$1 window
    shift
    window=$(window_named "$title") || fail "no window \"$title\""
    sleep 0.7
    xdotool windowfocus --sync "$window" key --delay 150 "$@"
}

start_program

press_in "概算ドリル" Down        # the first student of the list
press_in "概算ドリル" 1           # O.K.
sleep 1.5
screenshot e2e-level-menu
press_in "概算ドリル" 1           # level 1
sleep 1.5
# Level 1's numbers are 10 to 909: no sum of two is 9999 or 99999, so both answers are wrong.
press_in "概算ドリル" 1 0 0 space 1 0 0 space 9 9 9 9 space plus plus
press_in "概算ドリル" space space 9 9 9 9 9 space plus plus   # two boxes left empty
screenshot e2e-drill
sleep 13                          # the fifteen-second limit passes
press_in "終了" Return            # "メニューへ" has the focus
screenshot e2e-after-finish
sleep 1.5
press_in "概算ドリル" 0           # back to the name list
sleep 1.5
press_in "概算ドリル" 0           # to the launcher

expect_exit 0
expect_launcher_called

dump=$("$records" dump "$work/demo/data/gaisan/成績累積データ.dat")
[[ $(wc -l <<<"$dump") -eq 1 ]] || fail "expected one record, found: $dump"
[[ $(cut -f5,6 <<<"$dump") == $'1\t99999' ]] || fail "not a time-up record of level 1: $dump"
# The teacher's view of the run: the answers as typed, in the order they were judged.
answers=$("$records" answers "$work/demo/data/gaisan" --encoding utf-8 | tr -d '\r' | tail -n +2)
[[ $(wc -l <<<"$answers") -eq 2 ]] || fail "expected two answers, found: $answers"
[[ $(cut -d, -f10-12 <<<"$answers" | head -1) == "100,100,9999" ]] ||
    fail "the first answer is not as typed: $answers"
[[ $(cut -d, -f10-12 <<<"$answers" | tail -1) == ",,99999" ]] ||
    fail "the second answer is not as typed: $answers"
[[ -n $(cut -d, -f15 <<<"$answers" | head -1) && -n $(cut -d, -f15 <<<"$answers" | tail -1) ]] ||
    fail "a wrong sum is not named: $answers"
mistakes=$("$records" mistakes "$work/demo/data/gaisan")
grep -q $'^answers\t2\tright\t0\twrong\t2' <<<"$mistakes" ||
    fail "the summary does not show the two wrong answers: $mistakes"
echo "student loop end to end: ok ($dump; answers: $answers)"
