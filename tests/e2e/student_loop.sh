#!/usr/bin/env bash
# A student's whole visit with the real program on a copy of the demo installation under Xvfb,
# driven with xdotool as a child would: choose a name, O.K. with "1", start level 1 with "1",
# let the run time out, see the finish screen, back to the menu with Enter, "0" to the name
# list and "0" to the launcher. The results file then holds the one time-up run.
# Usage: student_loop.sh GAISAN_EXECUTABLE GAISAN_RECORDS   (GAISAN_SCREENSHOT_DIR: screenshots)
set -euo pipefail

gaisan=$1
records=$2
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
xvfb_pid=
program=
cleanup() {
    [[ -n $program ]] && kill "$program" 2>/dev/null
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$repo/scripts/lay-out-demo" "$work" >/dev/null
cp "$gaisan" "$work/demo/gaisan/gaisan"
# Level 1 gets a minimum line of one second, so its time limit is five seconds.
criteria=$work/demo/data/gaisan/タイム回数データ.txt
sed -i '2s/^60,90,/60,1,/' "$criteria"

Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

screenshot() {
    [[ -n ${GAISAN_SCREENSHOT_DIR:-} ]] || return 0
    mkdir -p "$GAISAN_SCREENSHOT_DIR"
    import -window root "$GAISAN_SCREENSHOT_DIR/$1.png"
}

# Presses keys in the visible window whose title is $1, once it is there.
press_in() {
    local title=$1 window
    shift
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | tail -n 1) ||
        fail "no window \"$title\""
    sleep 0.7
    xdotool windowfocus --sync "$window" key --delay 150 "$@"
}

"$work/demo/gaisan/gaisan" &
program=$!

press_in "概算ドリル" Down        # the first student of the list
press_in "概算ドリル" 1           # O.K.
sleep 1.5
screenshot e2e-level-menu
press_in "概算ドリル" 1           # level 1
sleep 7                           # the five-second limit passes
press_in "終了" Return            # "メニューへ" has the focus
screenshot e2e-after-finish
sleep 1.5
press_in "概算ドリル" 0           # back to the name list
sleep 1.5
press_in "概算ドリル" 0           # to the launcher

timeout 10 tail --pid="$program" -f /dev/null || fail "the program did not end"
status=0
wait "$program" || status=$?
program=
[[ $status -eq 0 ]] || fail "the program ended with status $status"
for _ in $(seq 50); do [[ -s $work/demo/起動/呼び出し記録.txt ]] && break; sleep 0.1; done
grep -q ' 001$' "$work/demo/起動/呼び出し記録.txt" || fail "the launcher was not called"

dump=$("$records" dump "$work/demo/data/gaisan/成績累積データ.dat")
[[ $(wc -l <<<"$dump") -eq 1 ]] || fail "expected one record, found: $dump"
[[ $(cut -f5,6 <<<"$dump") == $'1\t99999' ]] || fail "not a time-up record of level 1: $dump"
echo "student loop end to end: ok ($dump)"
