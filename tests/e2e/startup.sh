#!/usr/bin/env bash
# The real program on a fresh copy of the demo installation under Xvfb, driven with xdotool:
# it starts with the name list, hands over to the suite launcher on "0", and refuses to start,
# naming the file, when the school's settings are missing.
# Usage: startup.sh GAISAN_EXECUTABLE   (GAISAN_SCREENSHOT_DIR, when set, receives screenshots)
set -euo pipefail

gaisan=$1
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

"$repo/scripts/lay-out-demo" "$work" >/dev/null
cp "$gaisan" "$work/demo/gaisan/gaisan"

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

# Waits for a window whose title contains $1 and prints its id.
window_named() {
    timeout 20 xdotool search --sync --name "$1" | head -n 1
}

# 1. A good installation: the name list appears; "0" starts the launcher stand-in with "001"
#    and ends the program with status 0.
"$work/demo/gaisan/gaisan" &
program=$!
window=$(window_named "概算ドリル") || fail "the name list did not appear"
sleep 0.5
screenshot e2e-name-selection
xdotool windowfocus --sync "$window" key 0
status=0
timeout 10 tail --pid=$program -f /dev/null || fail "the program did not end"
wait $program || status=$?
[[ $status -eq 0 ]] || fail "the program ended with status $status"
for _ in $(seq 50); do [[ -s $work/demo/起動/呼び出し記録.txt ]] && break; sleep 0.1; done
grep -q ' 001$' "$work/demo/起動/呼び出し記録.txt" || fail "the launcher was not started with 001"

# 2. Without 共通データ.txt the program names the file in a message box and ends with status 1.
rm "$work/demo/data/共通データ.txt"
"$work/demo/gaisan/gaisan" &
program=$!
box=$(window_named "設定ファイルのエラー") || fail "no message box for the missing file"
sleep 0.3
screenshot e2e-missing-file
xdotool windowfocus --sync "$box" key Return
timeout 10 tail --pid=$program -f /dev/null || fail "the program did not end after the message"
status=0
wait $program || status=$?
[[ $status -eq 1 ]] || fail "the program ended with status $status, not 1"
echo "startup end to end: ok"
