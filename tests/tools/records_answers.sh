#!/usr/bin/env bash
# gaisan-records answers, mistakes and check on answers files: two students, runs with answers, a
# run recorded without answers and a deleted run, written byte by byte as the README documents the
# format; the exact spreadsheet in UTF-8 and CP932, the summary, and what check reports; then
# answers folders and files that cannot be read, names the program never gives, and the data
# folder named "." from inside it.
# Usage: records_answers.sh GAISAN_RECORDS DEMO_DATA_ROOT
set -euo pipefail

tool=$1
demo_root=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$(dirname "$0")/script-helpers.sh"

root=$work/data
# In the school year 2026 student 1 is in 小３ and student 2 in 小２.
make_data_root "$root" "$demo_root" '1,2017,0,0,"佐藤, 陽菜",0,"",""' '2,2018,0,0,"鈴木　蓮",0,"",""'
file=$root/gaisan/成績累積データ.dat

"$tool" append "$file" --student 1 --level 1 --seconds 50 --at "2026-12-10 09:00:00"
"$tool" append "$file" --student 2 --level 1 --seconds 60 --at "2026-12-10 09:05:00"
"$tool" append "$file" --student 1 --level 2 --seconds 70 --at "2026-12-10 09:10:00"
"$tool" append "$file" --student 1 --level 1 --seconds 40 --at "2026-12-11 10:00:00"
"$tool" append "$file" --student 2 --level 1 --seconds 45 --at "2026-12-11 10:30:00"
# Answers of runs 1, 2, 4 and 5; run 3 was recorded without answers. Fields: the two numbers,
# the place's exponent, the problem type, tenths of a second, the three boxes ("_" empty).
python3 "$here/answers_fixture.py" "$file" <<'SPEC'
run 1
150 349 2 1 42 200 300 500
4500 1200 3 1 64 4000 1000 _
run 2
1500 2400 3 1 80 2000 2000 4000
250 250 2 1 31 2,00 300 600
run 4
100 100 2 1 10 100 100 200
run 5
740 260 2 1 55 700 300 1000
SPEC
# Run 4 is deleted: its answers stay in the file but count no more.
"$tool" delete "$file" 4 >/dev/null

header='日付,時刻,生徒番号,名前,学年,レベル,数1,数2,位,概数1,概数2,和,概数1の誤り,概数2の誤り,和の誤り,秒'
expected=$(printf '%s\r\n' "$header" \
    '2026-12-10,09:00:00,1,"佐藤, 陽菜",小３,1,150,349,100,200,300,500,,,,4.2' \
    '2026-12-10,09:00:00,1,"佐藤, 陽菜",小３,1,4500,1200,1000,4000,1000,,切り上げ忘れ,,未記入,6.4' \
    '2026-12-10,09:05:00,2,鈴木　蓮,小２,1,1500,2400,1000,2000,2000,4000,,,,8.0' \
    '2026-12-10,09:05:00,2,鈴木　蓮,小２,1,250,250,100,"2,00",300,600,その他の誤り,,,3.1' \
    '2026-12-11,10:30:00,2,鈴木　蓮,小２,1,740,260,100,700,300,1000,,,,5.5')

"$tool" answers "$root/gaisan" >"$work/utf8.csv" 2>"$work/err" || fail "answers: $(cat "$work/err")"
[[ $(head -c 3 "$work/utf8.csv") == $'\xEF\xBB\xBF' ]] || fail "the UTF-8 file has no byte-order mark"
[[ $(tail -c +4 "$work/utf8.csv") == "$expected" ]] ||
    fail "the UTF-8 rows differ:"$'\n'"$(tail -c +4 "$work/utf8.csv")"
[[ $(tr -cd '\n' <"$work/utf8.csv" | wc -c) -eq $(tr -cd '\r' <"$work/utf8.csv" | wc -c) ]] ||
    fail "a line does not end in CR LF"
[[ ! -s $work/err ]] || fail "answers said something: $(cat "$work/err")"

"$tool" answers "$root/gaisan" --encoding cp932 --output "$work/cp932.csv" ||
    fail "answers --encoding cp932 --output failed"
[[ $(iconv -f CP932 -t UTF-8 "$work/cp932.csv") == "$expected" ]] ||
    fail "the CP932 file reads back differently"
[[ ! -e $work/cp932.csv.part ]] || fail "the partial file was left behind"

"$tool" answers "$root/gaisan" --student 2 --from 2026-12-11 >"$work/narrow.csv"
[[ $(tail -c +4 "$work/narrow.csv" | tail -n +2 | cut -d, -f2,3 | tr -d '\r' | tr '\n' ' ') == "10:30:00,2 " ]] ||
    fail "--student and --from kept other rows: $(cat "$work/narrow.csv")"

diff <("$tool" mistakes "$root/gaisan" --student 1 --now "2026-12-11 12:00:00") - <<'OUT' ||
student	1	佐藤, 陽菜	小３
runs	1
answers	2	right	1	wrong	1	50.0%
weakest	切り上げ忘れ
kind	未記入	1	50.0%
kind	切り上げ忘れ	1	50.0%
type	1	2	5.3
week	2026-12-07	2	1	50.0%
example	未記入	2026-12-10	09:00:00	4500	1200	1000	4000	1000		切り上げ忘れ		未記入
example	切り上げ忘れ	2026-12-10	09:00:00	4500	1200	1000	4000	1000		切り上げ忘れ		未記入
OUT
    fail "mistakes --student 1"
"$tool" mistakes "$root/gaisan" --band 小２ --now "2026-12-11 12:00:00" >"$work/band"
grep -q $'^student\t2\t' "$work/band" && ! grep -q $'^student\t1\t' "$work/band" &&
    grep -q $'^group\t小２\t1$' "$work/band" || fail "mistakes --band 小２: $(cat "$work/band")"
grep -A2 $'^group\t' "$work/band" | grep -qx $'answers\t3\tright\t2\twrong\t1\t33.3%' ||
    fail "mistakes --band: the group's answers: $(cat "$work/band")"

# The teacher's own tries, in a folder of their own: no child's mistakes, so the class leaves
# them out as the teacher's screen does; asked for by number, they are shown.
staff=$work/staff
make_data_root "$staff" "$root" '1,2017,0,0,"佐藤　陽菜",0,"",""' '999,1980,0,0,"先生",0,"",""'
"$tool" append "$staff/gaisan/成績累積データ.dat" --student 1 --level 1 --seconds 50 \
    --at "2026-12-10 09:00:00"
"$tool" append "$staff/gaisan/成績累積データ.dat" --student 999 --level 1 --seconds 30 \
    --at "2026-12-10 09:30:00"
python3 "$here/answers_fixture.py" "$staff/gaisan/成績累積データ.dat" <<'SPEC'
run 1
150 349 2 1 42 200 300 500
run 2
4500 1200 3 1 64 4000 1000 5000
SPEC
"$tool" mistakes "$staff/gaisan" --now "2026-12-11 12:00:00" >"$work/staff.txt"
! grep -q $'^student\t999\t' "$work/staff.txt" && grep -q $'^group\t全学年\t1$' "$work/staff.txt" &&
    grep -A2 $'^group\t' "$work/staff.txt" | grep -qx $'answers\t1\tright\t1\twrong\t0\t0.0%' ||
    fail "mistakes counted the teacher: $(cat "$work/staff.txt")"
"$tool" mistakes "$staff/gaisan" --student 999 --now "2026-12-11 12:00:00" |
    grep -qx $'answers\t1\tright\t0\twrong\t1\t100.0%' || fail "mistakes --student 999"

# check: the year's files and their bytes; bytes no part of a run and a logged failed write are
# told without failing the check, an answers file that cannot be read fails it.
status=0
"$tool" check "$file" --now "2026-12-11 12:00:00" >"$work/check" || status=$?
[[ $status -eq 0 ]] || fail "check exited $status: $(cat "$work/check")"
grep -qx $'answers\t'"$root/gaisan/成績解答データ2026"$'\t2 files\t224 bytes' "$work/check" ||
    fail "check: the answers files: $(cat "$work/check")"
printf 'torn bytes' >>"$root/gaisan/成績解答データ2026/生徒0002.dat"
printf '2026-12-11 10:31:00 %s\n' "$root/gaisan/成績解答データ2026/生徒0002.dat: disk full" \
    >"$root/gaisan/解答の記録の失敗.txt"
status=0
"$tool" check "$file" --now "2026-12-11 12:00:00" >"$work/check" || status=$?
[[ $status -eq 0 ]] || fail "check failed on left-out bytes: $(cat "$work/check")"
grep -q "^warning: $root/gaisan/成績解答データ2026/生徒0002.dat: 10 bytes" "$work/check" ||
    fail "check: the left-out bytes: $(cat "$work/check")"
grep -q "^answers not written: 2026-12-11 10:31:00 .*disk full$" "$work/check" ||
    fail "check: the logged failure: $(cat "$work/check")"

# From inside the data folder, "." names it.
(cd "$root/gaisan" && "$tool" answers . >"$work/here.csv" 2>"$work/err") ||
    fail "answers . from inside the data folder: $(cat "$work/err")"
[[ $(tail -c +4 "$work/here.csv") == "$expected" ]] || fail "answers . wrote other rows"

# A name no student's file has is passed over, and check names it.
printf 'stray' >"$root/gaisan/成績解答データ2026/生徒5001.dat"
expect_status 0 "$tool" mistakes "$root/gaisan" --band 小３ --now "2026-12-11 12:00:00"
grep -q $'^group\t小３\t1$' "$work/out" || fail "mistakes --band 小３ beside a stray file: $(cat "$work/out")"
expect_status 0 "$tool" check "$file" --now "2026-12-11 12:00:00"
grep -q "^warning: $root/gaisan/成績解答データ2026/生徒5001.dat: " "$work/out" ||
    fail "check did not name the stray file: $(cat "$work/out")"
rm "$root/gaisan/成績解答データ2026/生徒5001.dat"

# What stands in a student's file's place and is no file is named, and never waited on or read:
# a pipe, a link to a device, a folder.
second=$root/gaisan/成績解答データ2026/生徒0002.dat
mv "$second" "$work/second.dat"
for stand_in in pipe device folder; do
    case $stand_in in
        pipe) mkfifo "$second" ;;
        device) ln -s /dev/zero "$second" ;;
        folder) mkdir "$second" ;;
    esac
    expect_status 1 timeout 10 "$tool" answers "$root/gaisan"
    grep -q "^problem: $second: " "$work/err" || fail "answers, $stand_in: $(cat "$work/err")"
    expect_status 1 timeout 10 "$tool" mistakes "$root/gaisan" --now "2026-12-11 12:00:00"
    grep -q "^problem: $second: " "$work/err" || fail "mistakes, $stand_in: $(cat "$work/err")"
    expect_status 1 timeout 10 "$tool" check "$file" --now "2026-12-11 12:00:00"
    grep -q "^problem: $second: " "$work/out" || fail "check, $stand_in: $(cat "$work/out")"
    rm -rf "$second"
done
mv "$work/second.dat" "$second"

# Usage errors: status 2.
for command in "answers --encoding latin1" "answers --from 2026-02-30" "answers --student 0" \
    "mistakes --band 小７" "mistakes --student 5001" "mistakes --output x.csv"; do
    status=0
    # shellcheck disable=SC2086
    "$tool" ${command%% *} "$root/gaisan" ${command#* } >/dev/null 2>&1 || status=$?
    [[ $status -eq 2 ]] || fail "$command exited $status, not 2"
done

# A file its reader may not read: as root, the commands run as nobody.
unreadable=$root/gaisan/成績解答データ2026/生徒0003.dat
printf 'unreadable' >"$unreadable"
chmod 000 "$unreadable"
as_reader=()
if [[ $(id -u) -eq 0 ]]; then
    command -v setpriv >/dev/null || { echo "gaisan-records answers: ok (no setpriv for the unreadable file)"; exit 0; }
    chmod 755 "$work"
    as_reader=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
status=0
"${as_reader[@]}" "$tool" check "$file" --now "2026-12-11 12:00:00" >"$work/check" || status=$?
[[ $status -eq 1 ]] && grep -q "^problem: $unreadable: " "$work/check" ||
    fail "check: an unreadable answers file (status $status): $(cat "$work/check")"
# The spreadsheet is still written from what can be read, and the command says it is not whole.
# The analysis opens only the files of students with runs: now student 2's cannot be read.
unreadable=$root/gaisan/成績解答データ2026/生徒0002.dat
chmod 000 "$unreadable"
partial=$(head -3 <<<"$expected")
status=0
"${as_reader[@]}" "$tool" answers "$root/gaisan" >"$work/partial.csv" 2>"$work/err" || status=$?
[[ $status -eq 1 && $(tail -c +4 "$work/partial.csv") == "$partial" ]] &&
    grep -q "^problem: $unreadable: " "$work/err" ||
    fail "answers with an unreadable file exited $status: $(cat "$work/err")"
status=0
"${as_reader[@]}" "$tool" mistakes "$root/gaisan" >/dev/null 2>"$work/err" || status=$?
[[ $status -eq 1 ]] && grep -q "^problem: $unreadable: " "$work/err" ||
    fail "mistakes with an unreadable file exited $status: $(cat "$work/err")"

# A year's folder another user made theirs alone in a folder everybody writes: its files cannot
# even be looked for. Each command names the folder once; check tells its owner and mode too.
chmod 644 "$root/gaisan/成績解答データ2026"/*.dat
year=$root/gaisan/成績解答データ2026
chmod 777 "$root/gaisan"
chmod 700 "$year"
if [[ ${#as_reader[@]} -eq 0 ]]; then
    echo "gaisan-records answers: ok (the folder's owner cannot be kept out of it)"
    exit 0
fi
once() { [[ $(grep -c "^problem: $year: " "$1") -eq 1 ]]; }
expect_status 1 "${as_reader[@]}" "$tool" answers "$root/gaisan"
once "$work/err" && ! grep -q "^problem: $year/" "$work/err" ||
    fail "answers, a folder of another user's alone: $(cat "$work/err")"
expect_status 1 "${as_reader[@]}" "$tool" mistakes "$root/gaisan" --now "2026-12-11 12:00:00"
once "$work/err" || fail "mistakes, a folder of another user's alone: $(cat "$work/err")"
expect_status 1 "${as_reader[@]}" "$tool" check "$file" --now "2026-12-11 12:00:00"
grep "^problem: $year: " "$work/out" | grep -vq "0700" ||
    fail "check, a folder of another user's alone: $(cat "$work/out")"
grep -q "^problem: $year: .*0700" "$work/out" ||
    fail "check did not tell the folder's mode: $(cat "$work/out")"

echo "gaisan-records answers and mistakes: ok"
