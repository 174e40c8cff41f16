# Sourced by the command-line tests: a private work folder, removed when the script ends, and the
# checks they share.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# expect_status N command...: runs the command and fails unless it exits with N; its output is
# left in $work/out and $work/err for the checks that follow.
expect_status() {
    local wanted=$1 status=0
    shift
    "$@" >"$work/out" 2>"$work/err" || status=$?
    [[ $status -eq $wanted ]] || fail "$* exited $status, not $wanted: $(cat "$work/err")"
}
