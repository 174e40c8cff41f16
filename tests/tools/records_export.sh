#!/usr/bin/env bash
# gaisan-records export: the results as a spreadsheet file, in UTF-8 with a byte-order mark or
# in CP932, with names that need quoting, a name a spreadsheet would run as a formula, a time-up, another school's run, a record the program
# passes over, a run dated after today and a date range.
# Usage: records_export.sh GAISAN_RECORDS DEMO_DATA_ROOT
set -euo pipefail

tool=$1
demo_root=$2
source "$(dirname "$0")/script-helpers.sh"

root=$work/data
# Student 1 has a comma in the name, student 2 a double quote, student 5 a name that a
# spreadsheet would run as a formula but for the apostrophe put before it; student 3 was in year 4 of
# elementary school until March and is in year 5 since April (roster year 2015).
make_data_root "$root" "$demo_root" '1,2017,0,0,"佐藤, 陽菜",0,"",""' '2,2018,0,0,鈴木"蓮,0,"",""' \
    '3,2015,0,0,"髙橋　健",0,"",""' '5,2018,0,0,=1+2,0,"",""'
file=$root/gaisan/成績累積データ.dat

"$tool" append "$file" --student 1 --level 1 --seconds 48 --at "2026-03-31 10:00:00"
"$tool" append "$file" --student 2 --level 3 --seconds 99999 --at "2026-04-01 11:00:00"
"$tool" append "$file" --student 3 --level 3 --seconds 70 --school 99999 --at "2026-04-02 09:30:00"
# A machine whose clock was wrong: the level menu lists its run, so the spreadsheet has it too.
"$tool" append "$file" --student 3 --level 1 --seconds 52 --at "2099-01-04 12:00:00"
"$tool" list "$root/gaisan" --list personal --student 3 >"$work/list"
grep -q '^2099/01/04 12:00:00' "$work/list" || fail "the lists do not show the later run: $(cat "$work/list")"
# A record for student -1, which the program passes over (and the menu's load stops at).
head -c 44 "$file" >"$work/record"
printf '\377\377' | dd of="$work/record" bs=1 seek=16 conv=notrunc status=none
cat "$work/record" >>"$file"
"$tool" append "$file" --student 4321 --level 2 --seconds 200 --at "2026-04-03 08:00:00"
"$tool" append "$file" --student 5 --level 1 --seconds 48 --at "2026-04-04 08:00:00"

header='番号,日付,時刻,生徒番号,名前,学年,レベル,レベル名,秒,結果,ポイント,学校コード'
# Level 3: target 100 s and a point rate of 1.5, so 70 s earns ⌊6.35⌋ = 6 × 1.5 → 9 points.
expected=$(printf '%s\r\n' "$header" \
    '1,2026-03-31,10:00:00,1,"佐藤, 陽菜",小２,1,レベル１,48,,5,' \
    '2,2026-04-01,11:00:00,2,"鈴木""蓮",小２,3,レベル３,,時間切れ,0,' \
    '3,2026-04-02,09:30:00,3,髙橋　健,小５,3,レベル３,70,,9,99999' \
    '4,2099-01-04,12:00:00,3,髙橋　健,,1,レベル１,52,,5,' \
    '6,2026-04-03,08:00:00,4321,,,2,レベル２,200,,1,' \
    "7,2026-04-04,08:00:00,5,'=1+2,小２,1,レベル１,48,,5,")

"$tool" export "$root/gaisan" >"$work/utf8.csv" 2>"$work/err" || fail "export: $(cat "$work/err")"
[[ $(head -c 3 "$work/utf8.csv") == $'\xEF\xBB\xBF' ]] || fail "the UTF-8 file has no byte-order mark"
[[ $(tail -c +4 "$work/utf8.csv") == "$expected" ]] ||
    fail "the UTF-8 rows differ:"$'\n'"$(tail -c +4 "$work/utf8.csv")"
grep -qx "$file: 1 records the program cannot show were not exported (gaisan-records check names them)" \
    "$work/err" || fail "the passed-over record is not counted: $(cat "$work/err")"
status=0
"$tool" check "$file" >"$work/check" || status=$?
[[ $status -eq 1 ]] && grep -q '^record 4: .*記録の日付が今日より後です' "$work/check" ||
    fail "check does not name the later run: $(cat "$work/check")"

"$tool" export "$root/gaisan" --encoding cp932 --output "$work/cp932.csv" 2>/dev/null ||
    fail "export --encoding cp932 --output failed"
[[ $(iconv -f CP932 -t UTF-8 "$work/cp932.csv") == "$expected" ]] || fail "the CP932 file reads back differently"
[[ ! -e $work/cp932.csv.part ]] || fail "the partial file was left behind"

"$tool" export "$root/gaisan" --from 2026-04-01 --to 2026-04-02 2>/dev/null >"$work/range.csv"
[[ $(tail -c +4 "$work/range.csv" | cut -d, -f1 | tr -d '\r' | tr '\n' ' ') == "番号 2 3 " ]] ||
    fail "the date range exported other rows: $(cat "$work/range.csv")"

# Usage errors and a folder without criteria: status 2 and a message; nothing written.
for arguments in "--encoding latin1" "--from 2026-02-30" "--to yesterday"; do
    status=0
    # shellcheck disable=SC2086
    "$tool" export "$root/gaisan" $arguments >/dev/null 2>&1 || status=$?
    [[ $status -eq 2 ]] || fail "export $arguments exited $status, not 2"
done
status=0
"$tool" export "$work/nowhere" --output "$work/none.csv" 2>"$work/err" || status=$?
[[ $status -eq 2 && ! -e $work/none.csv ]] || fail "an unusable data folder exited $status or wrote a file"
status=0
"$tool" export "$root/gaisan" --output "$work/no-such-folder/out.csv" 2>"$work/err" || status=$?
[[ $status -eq 2 ]] && grep -q "out.csv" "$work/err" || fail "an unwritable output is not reported: $(cat "$work/err")"
echo "gaisan-records export: ok"
