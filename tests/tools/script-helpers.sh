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

# make_data_root ROOT FROM ROSTER_LINE...: a data root at ROOT with the school's settings and the
# program folder's criteria copied from the data root FROM, and a roster of the given lines
# (written here in UTF-8, stored in CP932 as the suite keeps it).
make_data_root() {
    local root=$1 from=$2
    shift 2
    mkdir -p "$root/gaisan"
    cp "$from/共通データ.txt" "$root/"
    cp "$from/gaisan/タイム回数データ.txt" "$root/gaisan/"
    printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$root/新名簿.txt"
}
