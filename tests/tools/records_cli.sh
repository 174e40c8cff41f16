#!/usr/bin/env bash
# gaisan-records on real files, the way scripts use it: its exact output, exit statuses, and
# appends from several processes at once.
# Usage: records_cli.sh GAISAN_RECORDS DEMO_DATA_ROOT
set -euo pipefail

tool=$1
demo_root=$2
source "$(dirname "$0")/script-helpers.sh"

data=$work/gaisan
mkdir "$data"
cp "$demo_root/gaisan/タイム回数データ.txt" "$data/"
file=$data/成績累積データ.dat

"$tool" append "$file" --student 3 --level 1 --seconds 55 --school 12345 --at "2026-12-10 09:15:30"
"$tool" append "$file" --student 3 --level 1 --seconds 99999 --at "2026-12-09 23:59:59"
"$tool" append "$file" --student 1200 --level 2 --seconds 30 --at "2026-11-01 08:00:00"

diff <("$tool" dump "$file") - <<'OUT' || fail "dump"
1	2026-12-10	09:15:30	3	1	55	12345		0
2	2026-12-09	23:59:59	3	1	99999			0
3	2026-11-01	08:00:00	1200	2	30			0
OUT

# Level 1: target 60 s, pass window 30 days, over-use window 1 day. Student 1200 has the best
# time of level 2 but takes no part in the level's best.
diff <("$tool" counts "$data" --now "2026-12-10 12:00:00") - <<'OUT' || fail "counts"
level	student	runs	points	pass_runs	pass_points	overuse_runs	overuse_points	today_runs	today_points	best	cleared	overused
1	3	1	5	1	5	1	5	1	5	55	0	0
2	1200	1	19	0	0	0	0	0	0	30	0	0
level-best	1	55
OUT

diff <("$tool" roster "$demo_root" --now "2026-03-31 12:00:00" | head -n 2) - <<'OUT' || fail "roster"
1	1	佐藤　陽菜	2017	2	小２	小2
2	2	鈴木　蓮	2018	1	小１	小1
OUT
"$tool" roster "$demo_root" --now "2026-12-10 12:00:00" | grep -q $'\t999\t先生\t1980\t40\t\t大+$' ||
    fail "roster: the teacher's row"

expect_status 0 "$tool" check "$file"
# The first append of each day copied the file as it was; check lists the copies, newest first.
diff <(grep -v '^warning:' "$work/out") - <<OUT || fail "check: the backups"
ok: 3 records
backup	$data/成績バックアップ/成績累積データ-2026-12-09.dat	1 records
backup	$data/成績バックアップ/成績累積データ-2026-11-01.dat	2 records
OUT
printf 'torn' >>"$file"
expect_status 1 "$tool" check "$file"
grep -q "partial record of 4 bytes after record 3" "$work/out" || fail "check: partial record"
expect_status 0 "$tool" dump "$file"
grep -q "partial record of 4 bytes" "$work/err" || fail "dump: partial record on stderr"

# The next append overwrites the partial record.
"$tool" append "$file" --student 4 --level 1 --seconds 70
[[ $(stat -c %s "$file") -eq $((4 * 44)) ]] || fail "the partial record was not overwritten"

# A copy that fails never stops a run from being recorded, but append says so, and check names the
# folder and the day without a copy.
broken=$work/broken
mkdir "$broken"
"$tool" append "$broken/成績累積データ.dat" --student 1 --level 1 --seconds 50 --at "2026-12-09 10:00:00"
printf 'not a folder' >"$broken/成績バックアップ"
expect_status 0 "$tool" append "$broken/成績累積データ.dat" --student 2 --level 1 --seconds 50 --at "2026-12-10 10:00:00"
grep -q "^warning: $broken/成績バックアップ: " "$work/err" || fail "append: the failed copy is not told"
expect_status 1 "$tool" check "$broken/成績累積データ.dat" --now "2026-12-10 12:00:00"
grep -q "^ok: 2 records$" "$work/out" || fail "check: the records are not ok"
grep -q "^problem: $broken/成績バックアップ: " "$work/out" || fail "check: the file in the folder's place"
grep -q "^problem: $broken/成績バックアップ/成績累積データ-2026-12-10.dat: " "$work/out" ||
    fail "check: the missing copy of the day"

# A record out of range is reported.
printf '\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x70\x17\x01\x00\x3c\x00\x00\x00     \x20\x20\x20\x20\x200    \x00\x00\x00\x00\x00' >>"$file"
expect_status 1 "$tool" check "$file"
grep -q "^record 5: student 6000" "$work/out" || fail "check: student 6000"

# Records no run can have written: each reported with its number.
impossible=$work/impossible.dat
"$tool" append "$impossible" --student 3 --level 1 --seconds 50 --at "2026-12-10 09:00:00"
printf '\x9c\x75\x00\x88\x3c\xe4\x37\x7e\x00\x00\x00\x00\x00\x00\xe0\x3f\x03\x00\x01\x00\x32\x00\x00\x00\x20\x20\x20\x20\x20\x20\x20\x20\x20\x20\x30\x20\x20\x20\x20\x00\x00\x00\x00\x00' >>"$impossible"
printf '\x00\x00\x00\x00\x60\xe3\x46\x41\x00\x00\x00\x00\x00\x00\xe0\x3f\x03\x00\x01\x00\x32\x00\x00\x00\x20\x20\x20\x20\x20\x20\x20\x20\x20\x20\x30\x20\x20\x20\x20\x00\x00\x00\x00\x00' >>"$impossible"
printf '\x00\x00\x00\x00\xc0\xa3\xe6\x40\xa0\xc8\xeb\x85\xf3\xcc\xe1\x7f\x03\x00\x01\x00\x32\x00\x00\x00\x20\x20\x20\x20\x20\x20\x20\x20\x20\x20\x30\x20\x20\x20\x20\x00\x00\x00\x00\x00' >>"$impossible"
printf '\x00\x00\x00\x00\xe0\xa3\xe6\x40\x00\x00\x00\x00\x00\x00\xe0\x3f\x03\x00\x01\x00\x32\x00\x00\x00\x20\x20\x20\x20\x20\x20\x20\x20\x20\x20\x30\x20\x20\x20\x20\x00\x00\x00\x00\x00' >>"$impossible"
expect_status 1 "$tool" check "$impossible" --now "2026-12-10 12:00:00"
diff "$work/out" - <<'OUT' || fail "check: impossible dates and clocks"
record 2: student 3, level 1, date 1e+300, clock 12:00:00: 記録の日付が1900年〜9999年の外です
record 3: student 3, level 1, date 10113-09-19, clock 12:00:00: 記録の日付が1900年〜9999年の外です
record 4: student 3, level 1, date 2026-12-10, clock 1e+308: 記録の時刻が1日の中にありません
record 5: student 3, level 1, date 2026-12-11, clock 12:00:00: 記録の日付が今日より後です
OUT

# Files that are no files: refused with the file named and a Japanese reason, never a hang.
linked=$work/linked
mkdir "$linked"
cp "$data/タイム回数データ.txt" "$linked/"
ln -s /dev/zero "$linked/成績累積データ.dat"
expect_status 2 timeout 20 "$tool" counts "$linked"
grep -q "成績累積データ.dat.*通常のファイルではありません" "$work/err" || fail "counts: /dev/zero"
expect_status 2 timeout 20 "$tool" dump "$linked/成績累積データ.dat"
grep -q "通常のファイルではありません" "$work/err" || fail "dump: /dev/zero"
expect_status 2 "$tool" check "$work"
grep -q "$work: .*通常のファイルではありません" "$work/err" || fail "check: a folder"

# A roster line whose index the tables cannot hold is left out, named on standard error; the
# rest of the roster is listed.
roster_root=$work/root
mkdir "$roster_root"
cp "$demo_root/共通データ.txt" "$roster_root/"
{ iconv -f CP932 -t UTF-8 "$demo_root/新名簿.txt"; printf '0,2015,0,0,"番号なし",0,"",""\r\n'; } |
    iconv -f UTF-8 -t CP932 >"$roster_root/新名簿.txt"
expect_status 0 "$tool" roster "$roster_root" --now "2026-12-10 12:00:00"
[[ $(wc -l <"$work/out") -eq 31 ]] || fail "roster: the other entries were not all listed"
grep -q "行目の番号 0 は" "$work/err" || fail "roster: the skipped line is not named"

# The level menu's lists, row for row: a school with runs of 佐藤 (1, 小３), 田中 (4, 小６) and
# 山本 (7, 中２) around Thursday 2026-12-10, 佐藤 logged in.
school=$work/school
cp -r "$demo_root" "$school"
results=$school/gaisan/成績累積データ.dat
"$tool" append "$results" --student 1 --level 1 --seconds 45 --at "2026-12-10 09:30:00"
"$tool" append "$results" --student 7 --level 1 --seconds 50 --at "2026-12-10 09:40:00"
"$tool" append "$results" --student 4 --level 1 --seconds 99999 --at "2026-12-10 09:50:00"
"$tool" append "$results" --student 7 --level 1 --seconds 40 --at "2026-11-20 16:10:00"
"$tool" append "$results" --student 1 --level 2 --seconds 80 --at "2025-11-05 15:00:00"
list() { "$tool" list "$school/gaisan" --now "2026-12-10 12:00:00" --student 1 "$@"; }

# Every listed student is ranked on each of the four levels.
[[ $(list --list best | wc -l) -eq $((4 * 32)) ]] || fail "list best: not every student ranked"
diff <(list --list best | sed -n '1,4p;33,34p') - <<'OUT' || fail "list best"
level 1
1Ⅱ山本　大翔    40 　
2●佐藤　陽菜    45 ●
--②鈴木　蓮　------ 　
level 2
1●佐藤　陽菜    80 ●
OUT
diff <(list --list points-total --band 中学生全体 | head -n 3) - <<'OUT' || fail "list points-total"
level 1
1Ⅱ山本　大翔  5/   11
3Ⅰ加藤　芽衣  0/    0
OUT
diff <(list --list points-today) - <<'OUT' || fail "list points-today"
level 1
1Ⅱ山本　大翔  5/   11
1●佐藤　陽菜  5/    5
level 2
level 3
level 4
OUT
diff <(list --list today) - <<'OUT' || fail "list today"
level 1
  45秒 09:30●佐藤　陽菜●5
  50秒 09:40Ⅱ山本　大翔Ⅱ5
　　× 09:50⑥田中　結衣⑥
level 2
level 3
level 4
OUT
diff <(list --list period) - <<'OUT' || fail "list period"
level 1
  45秒 12/10●佐藤　陽菜●5
  50秒 12/10Ⅱ山本　大翔Ⅱ5
　　× 12/10⑥田中　結衣⑥
  40秒 11/20Ⅱ山本　大翔Ⅱ6
level 2
level 3
level 4
OUT
diff <(list --list period --view points --period all --band 小学生全体) - <<'OUT' || fail "list period, points"
level 1
  5 12/10●佐藤　陽菜●45秒
 × 12/10⑥田中　結衣⑥
level 2
  5 11/05●佐藤　陽菜●80秒
level 3
level 4
OUT
diff <(list --list personal) - <<'OUT' || fail "list personal"
level 1
2026/12/10 9:30:00  45秒
level 2
2025/11/05 15:00:00  80秒
level 3
level 4
OUT
expect_status 2 "$tool" list "$school/gaisan"
expect_status 2 "$tool" list "$school/gaisan" --list ranking
expect_status 2 "$tool" list "$school/gaisan" --list best --band 高１
expect_status 2 "$tool" list "$school/gaisan" --list best --student 5001
expect_status 2 "$tool" list "$work/nowhere/gaisan" --list today
grep -q "共通データ.txt" "$work/err" || fail "list: the missing settings file is not named"

# Usage errors and unusable files: status 2 and a message.
expect_status 2 "$tool"
expect_status 2 "$tool" frobnicate
expect_status 2 "$tool" dump "$work/missing.dat"
grep -q "missing.dat" "$work/err" || fail "the missing file is not named"
expect_status 2 "$tool" append "$file" --student 1 --level 1
expect_status 2 "$tool" append "$file" --student 1 --level 99 --seconds 3
expect_status 2 "$tool" append "$file" --student 1 --level 1 --seconds 3 --at "2026-02-30 10:00:00"
expect_status 2 "$tool" append "$file" --student 1 --level 1 --seconds 3 --at "0001-01-01 10:00:00"
expect_status 2 "$tool" append "$file" --student 1 --level 1 --seconds 3 --school "한"
expect_status 2 "$tool" append "$file" --student 1 --level 1 --seconds 3 --school "東京都"
status=0
"$tool" dump "$file" >/dev/full 2>/dev/null || status=$?
[[ $status -eq 2 ]] || fail "a dump that could not be written exited $status, not 2"
expect_status 2 "$tool" counts "$work/nowhere"
grep -q "タイム回数データ.txt" "$work/err" || fail "counts: the missing criteria file is not named"

# delete and set: record N changes only when it still prints as the line the script saw.
rm "$file"
for i in 1 2 3 4 5; do
    "$tool" append "$file" --student "$i" --level 2 --seconds "$((i * 10))" --at "2026-12-0$i 10:00:00"
done
third=$("$tool" dump "$file" | sed -n 3p)
expect_status 0 "$tool" delete "$file" 3 --expect "$third"
expect_status 1 "$tool" delete "$file" 3 --expect "$third"
grep -q "record 3 is not the one expected" "$work/err" || fail "delete: a stale line is not told"
expect_status 1 "$tool" delete "$file" 9
expect_status 0 "$tool" set "$file" 2 --seconds 99 --student 7 --expect "$("$tool" dump "$file" | sed -n 2p)"
expect_status 1 "$tool" set "$file" 2 --seconds 98 --expect "$third"
expect_status 2 "$tool" set "$file" 2 --seconds 12x
expect_status 2 "$tool" set "$file" 2 --student 5001
expect_status 2 "$tool" set "$file" 2
expect_status 2 "$tool" delete "$file" 0
expect_status 2 "$tool" delete "$work/missing.dat" 1
diff <("$tool" dump "$file") - <<'OUT' || fail "delete and set"
1	2026-12-01	10:00:00	1	2	10			0
2	2026-12-02	10:00:00	7	2	99			0
3	2026-12-04	10:00:00	4	2	40			0
4	2026-12-05	10:00:00	5	2	50			0
OUT
[[ ! -e "$data/成績累積データtemp.dat" ]] || fail "a delete left its journal"
# The history names both changes that were made, and only them, the number first; the machine,
# the user and the time vary, the rest does not.
history=$("$tool" history "$file" | cut -f1,5-)
diff <(echo "$history") - <<'OUT' || fail "history"
1	delete	3	before	3	2026-12-03	10:00:00	3	2	30			0
2	set	2	before	2	2026-12-02	10:00:00	2	2	20			0	after	2	2026-12-02	10:00:00	7	2	99			0
OUT
[[ $("$tool" history "$file" | cut -f3 | sort -u) == "$(hostname)" ]] || fail "history: not this machine"
[[ $("$tool" history "$file" | cut -f4 | sort -u) == "$(id -un)" ]] || fail "history: not this user"

# undo ENTRY: the delete's record goes back in its place, the write-back gets its old record back,
# each undo an entry naming the one it undid; --expect is the entry's last record as history
# prints it; an undo a later change stands in the way of, or one already made, changes nothing.
before_undo=$("$tool" dump "$file")
expect_status 1 "$tool" undo "$file" 1 --expect "$("$tool" dump "$file" | sed -n 1p)"
grep -q "entry 1's record is not the one expected" "$work/err" || fail "undo: a stale line is not told"
expect_status 1 "$tool" undo "$file" 3
grep -q "has no entry 3" "$work/err" || fail "undo: a missing entry is not told"
expect_status 2 "$tool" undo "$file" x
expect_status 0 "$tool" undo "$file" 1 --expect "$("$tool" history "$file" | sed -n 1p | cut -f8-)"
expect_status 0 "$tool" undo "$file" 2
expect_status 1 "$tool" undo "$file" 2
grep -q "変更4でもう元に戻してあります" "$work/err" || fail "undo: an undo made twice is not refused"
diff <("$tool" dump "$file") - <<'OUT' || fail "undo"
1	2026-12-01	10:00:00	1	2	10			0
2	2026-12-02	10:00:00	2	2	20			0
3	2026-12-03	10:00:00	3	2	30			0
4	2026-12-04	10:00:00	4	2	40			0
5	2026-12-05	10:00:00	5	2	50			0
OUT
diff <("$tool" history "$file" | cut -f1,5- | sed -n 3,4p) - <<'OUT' || fail "history of undos"
3	putback	3	after	3	2026-12-03	10:00:00	3	2	30			0	undoes	1
4	set	2	before	2	2026-12-02	10:00:00	7	2	99			0	after	2	2026-12-02	10:00:00	2	2	20			0	undoes	2
OUT
# The undo of the put-back deletes the record again, and its undo brings it back once more.
expect_status 0 "$tool" undo "$file" 3
expect_status 0 "$tool" undo "$file" 5
[[ $("$tool" dump "$file" | cut -f4) == $'1\n2\n3\n4\n5' ]] || fail "undo of undos"
expect_status 0 "$tool" check "$file"
grep -q "6 entries" "$work/out" || fail "check: the history is not counted"
[[ ! -e "$data/成績累積データ戻しtemp.dat" ]] || fail "an undo left its journal"

# A delete cut short before anything moved leaves a journal cut short; check finishes it and says
# so, and so does a file of that name that is no journal (it is kept under another name).
printf 'GSNDEL01\x02\x00' >"$data/成績累積データtemp.dat"
expect_status 0 "$tool" check "$file"
grep -q "まだ何も動かしていなかった" "$work/out" || fail "check: the interrupted delete is not told"
[[ ! -e "$data/成績累積データtemp.dat" ]] || fail "check left the journal"
printf 'a copy' >"$data/成績累積データtemp.dat"
expect_status 0 "$tool" set "$file" 1 --seconds 11
grep -q "成績累積データtemp.dat.kept" "$work/err" || fail "set: the file set aside is not named"
[[ $(cat "$data/成績累積データtemp.dat.kept") == "a copy" ]] || fail "the file set aside changed"

# Eight processes appending at once: every record arrives, whole.
rm "$file"
for machine in $(seq 8); do
    (for i in $(seq 25); do "$tool" append "$file" --student "$machine" --level 1 --seconds "$i"; done) &
done
wait
[[ $("$tool" dump "$file" | cut -f4,6 | sort -u | wc -l) -eq 200 ]] || fail "concurrent appends lost records"
expect_status 0 "$tool" check "$file"
echo "gaisan-records: ok"
