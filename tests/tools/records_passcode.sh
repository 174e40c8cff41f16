#!/usr/bin/env bash
# gaisan-records passcode: set from a script's standard input and from a terminal without echo,
# the file it leaves, its refusals, clear, and the count of wrong tries both start afresh. Whether a passcode matches is tried by the core's
# test of the passcode, which reads the same file.
# Usage: records_passcode.sh GAISAN_RECORDS
set -euo pipefail

tool=$1
source "$(dirname "$0")/script-helpers.sh"

data=$work/gaisan
mkdir "$data"
chmod 0777 "$data"
passcode=$data/先生パスコード.txt

# From a script: one line of the standard input. The file is shared like its folder, whatever
# the umask, and holds a hash, never the passcode.
(umask 077 && printf 'sakura3\n' | "$tool" passcode "$data" set >"$work/out") || fail "set from stdin"
grep -q "passcode set: $passcode" "$work/out" || fail "set: not told: $(cat "$work/out")"
[[ -f $passcode ]] || fail "set: no file"
[[ $(stat -c %a "$passcode") == 666 ]] || fail "set: mode $(stat -c %a "$passcode"), not 666"
grep -q sakura3 "$passcode" && fail "the file holds the passcode as text"
grep -q '^\$argon2id\$v=19\$m=65536,t=2,p=1\$' "$passcode" || fail "set: no hash: $(cat "$passcode")"
first=$(cat "$passcode")

# The same passcode again: a new salt, the old file replaced.
printf 'sakura3\n' | "$tool" passcode "$data/" set >/dev/null || fail "set again"
[[ $(cat "$passcode") != "$first" ]] || fail "set again: the same hash"

# Refusals leave the file as it was.
kept=$(cat "$passcode")
expect_status 2 "$tool" passcode "$data" set </dev/null
grep -q "no passcode was given" "$work/err" || fail "no input: $(cat "$work/err")"
printf '\n' >"$work/empty"
expect_status 2 "$tool" passcode "$data" set <"$work/empty"
grep -q "the passcode is empty" "$work/err" || fail "empty: $(cat "$work/err")"
[[ $(cat "$passcode") == "$kept" ]] || fail "a refused set changed the file"
# What the program's passcode box cannot take (it has no input method) is refused, saying which
# character and what the box takes, without showing the character typed unseen.
while IFS='|' read -r name input position kind; do
    printf '%b\n' "$input" >"$work/input"
    expect_status 2 "$tool" passcode "$data" set <"$work/input"
    grep -q "character $position of the passcode is $kind" "$work/err" || fail "$name: $(cat "$work/err")"
    grep -q "takes only half-width letters, digits, spaces" "$work/err" || fail "$name: $(cat "$work/err")"
    grep -q "nothing was changed" "$work/err" || fail "$name: $(cat "$work/err")"
    [[ $(cat "$passcode") == "$kept" ]] || fail "$name: the refused passcode changed the file"
done <<'CASES'
full-width digits|１２３４|1|not a half-width character
a full-width letter|sakuraａ|7|not a half-width character
kana|さくら|1|not a half-width character
a full-width space|ab　c|3|not a half-width character
an arrow key|ab\x1b[Dc|3|a control character
CASES
printf '%0129d\n' 0 >"$work/long"
expect_status 2 "$tool" passcode "$data" set <"$work/long"
grep -q "longer than 128 characters" "$work/err" || fail "too long: $(cat "$work/err")"
# An input that never ends is refused, not read for ever.
expect_status 2 timeout 20 "$tool" passcode "$data" set < <(yes a | tr -d '\n')
grep -q "longer than 128 characters" "$work/err" || fail "endless input: $(cat "$work/err")"
[[ $(cat "$passcode") == "$kept" ]] || fail "a refused set changed the file"
expect_status 2 "$tool" passcode "$work/missing" set <"$work/empty"
grep -q "no such data folder" "$work/err" || fail "missing folder: $(cat "$work/err")"
expect_status 2 "$tool" passcode "$data" show
grep -q 'passcode takes set or clear' "$work/err" || fail "unknown action: $(cat "$work/err")"
expect_status 2 "$tool" passcode "$data"

# From a terminal: typed twice, never echoed; two that differ are refused.
terminal() {  # terminal FIRST SECOND: runs set on a terminal, prints what it showed and its status
    python3 - "$tool" "$data" "$1" "$2" <<'PY'
import os, pty, sys, time
tool, data, first, second = sys.argv[1:]
pid, fd = pty.fork()
if pid == 0:
    os.execv(tool, [tool, "passcode", data, "set"])
shown = b""
def read_until(text):
    global shown
    try:
        while text not in shown:
            chunk = os.read(fd, 1024)
            if not chunk: return False
            shown += chunk
    except OSError:  # the program ended
        return False
    return True
read_until(b"New passcode: ")
os.write(fd, first.encode() + b"\n")
if read_until(b"again: "):
    os.write(fd, second.encode() + b"\n")
try:
    while True:
        chunk = os.read(fd, 1024)
        if not chunk: break
        shown += chunk
except OSError:
    pass
_, status = os.waitpid(pid, 0)
sys.stdout.write(shown.decode(errors="replace"))
print("status", os.waitstatus_to_exitcode(status))
PY
}
terminal tsuki-1 tsuki-2 >"$work/tty"
grep -q "status 2" "$work/tty" || fail "terminal mismatch: $(cat "$work/tty")"
grep -q "the two passcodes differ" "$work/tty" || fail "terminal mismatch not told: $(cat "$work/tty")"
grep -q "tsuki-" "$work/tty" && fail "the terminal echoed the passcode: $(cat "$work/tty")"
[[ $(cat "$passcode") == "$kept" ]] || fail "a mismatch changed the file"
# A terminal left in full-width mode is told at once, before the passcode is asked again.
terminal ｔｓｕｋｉ ｔｓｕｋｉ >"$work/tty"
grep -q "status 2" "$work/tty" || fail "terminal full-width: $(cat "$work/tty")"
grep -q "character 1 of the passcode is not a half-width character" "$work/tty" \
    || fail "terminal full-width not told: $(cat "$work/tty")"
grep -q "again" "$work/tty" && fail "terminal full-width asked again: $(cat "$work/tty")"
[[ $(cat "$passcode") == "$kept" ]] || fail "a full-width passcode changed the file"
terminal tsuki-3 tsuki-3 >"$work/tty"
grep -q "status 0" "$work/tty" || fail "terminal set: $(cat "$work/tty")"
grep -q "tsuki-3" "$work/tty" && fail "the terminal echoed the passcode: $(cat "$work/tty")"
[[ $(cat "$passcode") != "$kept" ]] || fail "terminal set: the file is unchanged"

# A new passcode, or none, starts with all its tries: set and clear remove the count of wrong
# tries the machines share. A count that cannot be removed is told, with status 1.
count=$data/先生パスコード失敗回数.txt
printf '3\r\n2026-12-10 09:00:00\r\n' >"$count"
printf 'ume\n' | "$tool" passcode "$data" set >/dev/null || fail "set with a count"
[[ ! -e $count ]] || fail "set left the count of wrong tries"
mkdir -p "$count/kept"
expect_status 1 "$tool" passcode "$data" set <<<'ume'
grep -q "passcode set" "$work/out" || fail "set with a count that stays: $(cat "$work/out")"
grep -q "problem: the wrong tries are still counted: $count" "$work/err" \
    || fail "a count that stays is not told: $(cat "$work/err")"
rm -r "$count"
printf '2\r\n' >"$count"

# clear removes the file and the count; clearing again is no failure.
expect_status 0 "$tool" passcode "$data" clear
grep -q "passcode cleared" "$work/out" || fail "clear: $(cat "$work/out")"
[[ ! -e $passcode ]] || fail "clear left the file"
[[ ! -e $count ]] || fail "clear left the count of wrong tries"
expect_status 0 "$tool" passcode "$data" clear
grep -q "no passcode was set" "$work/out" || fail "clear again: $(cat "$work/out")"

echo "gaisan-records passcode: ok"
