#!/usr/bin/env bash
# gaisan-records on shared files that damage reached: a change history grown by zeros to 1 GiB is
# neither copied nor listed entry by entry, is mended keeping its whole entries, and undo works
# on them again; a day's copy of an answers file that fails is told as a backup's failure.
# Usage: records_damaged.sh GAISAN_RECORDS
set -euo pipefail

tool=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$(dirname "$0")/script-helpers.sh"

data=$work/gaisan
mkdir -p "$data"
file=$data/成績累積データ.dat
history=$data/成績変更履歴.dat
for student in 1 2 3 4; do
    "$tool" append "$file" --student $student --level 1 --seconds 5$student \
        --at "2026-12-09 10:0$student:00"
done
expect_status 0 "$tool" set "$file" 2 --seconds 40
expect_status 0 "$tool" delete "$file" 4
# A crash on the share grows the history by zeros to 1 GiB (sparse, as such damage is).
truncate -s 1G "$history"

# The day's first append records the run and says why it took no copy of the history.
expect_status 0 "$tool" append "$file" --student 5 --level 1 --seconds 30 --at "2026-12-10 08:00:00"
grep -q "^warning: $history: .*バックアップを取りませんでした" "$work/err" ||
    fail "append: the history's copy is not told: $(cat "$work/err")"
[[ ! -e $data/成績バックアップ/成績変更履歴-2026-12-10.dat ]] || fail "the damaged history was copied"
[[ -e $data/成績バックアップ/成績累積データ-2026-12-10.dat ]] || fail "the results file was not copied"

# check and history tell the run of damaged entries once.
expect_status 1 "$tool" check "$file" --now "2026-12-10 09:00:00"
grep -qx "problem: $history: entries 3 to 4194304 are damaged (history --set-aside-damaged sets them aside)" \
    "$work/out" || fail "check: the damaged run: $(cat "$work/out")"
grep -q "^problem: $history: 4194304 entries, and a history holds 65536" "$work/out" ||
    fail "check: the size: $(cat "$work/out")"
[[ $(wc -l <"$work/out") -lt 10 ]] || fail "check printed $(wc -l <"$work/out") lines"
expect_status 1 "$tool" history "$file"
[[ $(head -2 "$work/out" | cut -f1,5) == $'1\tset\n2\tdelete' &&
    $(tail -n +3 "$work/out") == $'3-4194304\tdamaged' ]] ||
    fail "history: $(cat "$work/out")"
expect_status 1 "$tool" undo "$file" 2
grep -q "壊れていて読めないため" "$work/err" || fail "undo before the mend: $(cat "$work/err")"

# The mend keeps the whole entries, the history as it was beside them; undo works again.
expect_status 0 "$tool" history "$file" --set-aside-damaged
[[ $(cat "$work/out") == "kept	$history	2 entries
set aside	$data/成績変更履歴-直す前.dat	4194302 damaged entries and 0 bytes of a partial one, in the history as it was" ]] ||
    fail "the mend says: $(cat "$work/out")"
[[ $(stat -c %s "$history") -eq 512 && $(stat -c %s "$data/成績変更履歴-直す前.dat") -eq 1073741824 ]] ||
    fail "the mended history or the set-aside one has the wrong size"
expect_status 0 "$tool" undo "$file" 2
expect_status 0 "$tool" undo "$file" 1
[[ $("$tool" dump "$file" | cut -f4,6) == $'1\t51\n2\t52\n3\t53\n4\t54\n5\t30' ]] ||
    fail "the undos after the mend: $("$tool" dump "$file")"
expect_status 0 "$tool" check "$file" --now "2026-12-10 09:00:00"
expect_status 0 "$tool" history "$file" --set-aside-damaged
[[ $(cut -f1 "$work/out") == "nothing damaged" ]] || fail "a second mend: $(cat "$work/out")"

# A day's copy of an answers file that fails: the run moved to student 2 takes its answers, and
# the copy of student 2's file is told as what failed, by set and by check.
python3 "$here/answers_fixture.py" "$file" <<'SPEC'
run 1
150 349 2 1 42 200 300 500
run 2
250 250 2 1 31 300 300 600
SPEC
today=$(date +%Y-%m-%d)
mkdir -p "$data/成績バックアップ"
printf 'not a folder' >"$data/成績バックアップ/成績解答データ2026-$today"
expect_status 0 "$tool" set "$file" 1 --student 2
grep -q "warning: the run's answers moved with it, but the day's copy .*成績解答データ2026-$today" \
    "$work/err" || fail "set: the failed copy: $(cat "$work/err")"
! grep -q "did not move" "$work/err" || fail "set: the answers are said not to have moved"
"$tool" check "$file" >"$work/out" || true
grep -q "^answers backup not taken: $today .*成績解答データ2026-$today" "$work/out" ||
    fail "check: the failed copy: $(cat "$work/out")"
! grep -q "^answers not written" "$work/out" || fail "check: the answers are said not written"
echo "gaisan-records on damaged files: ok"
