# Sourced by the end-to-end scripts: a copy of the demo installation with the program under test
# in "$work/demo", a private Xvfb display, and helpers to start the program, find its windows and
# take screenshots. Expects $1 to be the gaisan executable; sets $work and removes it on exit,
# with the display.
#
# The scripts work the same whatever the caller's locale: the tools run in C.UTF-8 (which the C
# library always has), and the program itself runs in the bare C locale, as on a school machine
# or a CI job whose locale was never set up.
export LC_ALL=C.UTF-8
unset LANG LANGUAGE

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
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
cp "$1" "$work/demo/gaisan/gaisan"

Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
# A loaded machine may take several seconds to start the server.
for _ in $(seq 300); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "Xvfb did not start within 30 seconds"
export DISPLAY=:$(cat "$work/display")
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

screenshot() {
    [[ -n ${GAISAN_SCREENSHOT_DIR:-} ]] || return 0
    mkdir -p "$GAISAN_SCREENSHOT_DIR"
    import -window root "$GAISAN_SCREENSHOT_DIR/$1.png"
}

# Starts the program in the C locale, in the background, as $program.
start_program() {
    LC_ALL=C "$work/demo/gaisan/gaisan" &
    program=$!
}

# Waits for a visible window of the program whose title contains $1 and prints its id. The title
# is read from _NET_WM_NAME, which is UTF-8 in every locale: the legacy WM_NAME that
# `xdotool search --name` matches is written in the program's locale, and the C locale mangles it.
window_named() {
    local window deadline=$((SECONDS + 20))
    while ((SECONDS < deadline)); do
        for window in $(xdotool search --onlyvisible --pid "$program" 2>/dev/null || true); do
            if xprop -notype -id "$window" _NET_WM_NAME 2>/dev/null | grep -qF -- "$1"; then
                echo "$window"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

# Waits for the program to end and fails unless its status is $1.
expect_exit() {
    local wanted=$1 status=0
    timeout 10 tail --pid="$program" -f /dev/null || fail "the program did not end"
    wait "$program" || status=$?
    program=
    [[ $status -eq $wanted ]] || fail "the program ended with status $status, not $wanted"
}

# Waits for the launcher stand-in to have been called with "001".
expect_launcher_called() {
    local record=$work/demo/起動/呼び出し記録.txt
    for _ in $(seq 50); do [[ -s $record ]] && break; sleep 0.1; done
    grep -q ' 001$' "$record" || fail "the launcher was not started with 001"
}
