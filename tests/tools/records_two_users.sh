#!/usr/bin/env bash
# Two users of one classroom folder. The first, with the usual umask 022, makes every file the
# program makes there: the results file, the backup folder and its copies, a delete's journal and
# the change history.
# The second then records runs, gets the day's copy (and removes the first user's oldest) and
# deletes a record; each undoes the other's latest change, and the second finds nothing wrong with
# `check`. In a folder writable by a group the two share, with the setgid bit and without, and in
# a folder writable by all.
# Runs as root, switching users with setpriv; says so and exits 77 where it cannot.
# Usage: records_two_users.sh GAISAN_RECORDS
set -euo pipefail
export LC_ALL=C.UTF-8

if [[ $(id -u) -ne 0 ]]; then
    echo "skipped: two users' turns need root to switch users with setpriv"
    exit 77
fi
if ! command -v setpriv >/dev/null; then
    echo "skipped: setpriv (util-linux) is not installed"
    exit 77
fi

# Numbers no account of this machine uses: the class's group, and each user's own group.
class=64100
first=64101
second=64102
for id in $class $first $second; do
    if getent passwd $id >/dev/null || getent group $id >/dev/null; then
        echo "skipped: user or group $id exists on this machine"
        exit 77
    fi
done

source "$(dirname "$0")/script-helpers.sh"
chmod 0755 "$work"
# A copy the other users can reach, wherever the build folder lies.
tool=$work/gaisan-records
cp "$1" "$tool"
chmod 0755 "$tool"

# as USER GROUPS_OPTION command...: runs the command as USER (in their own group) with umask 022.
as() {
    local user=$1 groups=$2
    shift 2
    setpriv --reuid="$user" --regid="$user" "$groups" -- sh -c 'umask 022 && exec "$@"' as "$@"
}

# two_users NAME FOLDER_MODE FOLDER_GROUP GROUPS_OPTION "RESULTS_FILE_MODE RESULTS_FILE_GROUP"
two_users() {
    local name=$1 folder_mode=$2 folder_group=$3 groups=$4 file_status=$5
    local data=$work/$name/gaisan
    mkdir -p "$data"
    chmod 0755 "$work/$name"
    chgrp "$folder_group" "$data"
    chmod "$folder_mode" "$data"
    local file=$data/成績累積データ.dat
    local backups=$data/成績バックアップ

    # The first user: a run on each of 15 days, which leaves as many copies as are kept, and a
    # delete.
    for day in $(seq -w 1 15); do
        as $first "$groups" "$tool" append "$file" --student 1 --level 1 --seconds 50 \
            --at "2026-11-$day 10:00:00" || fail "$name: the first user's run of day $day"
    done
    as $first "$groups" "$tool" delete "$file" 1 || fail "$name: the first user's delete"
    [[ $(stat -c '%a %g' "$file") == "$file_status" ]] ||
        fail "$name: the results file is $(stat -c '%a %g' "$file"), not $file_status"
    [[ $(results_copies "$backups") -eq 14 ]] || fail "$name: the first user did not get 14 copies"

    # The second user.
    as $second "$groups" "$tool" append "$file" --student 2 --level 1 --seconds 40 \
        --at "2026-11-15 11:00:00" 2>"$work/err" || fail "$name: the second user cannot record: $(cat "$work/err")"
    as $second "$groups" "$tool" append "$file" --student 2 --level 1 --seconds 41 \
        --at "2026-11-16 09:00:00" 2>"$work/err" || fail "$name: the second user's next day: $(cat "$work/err")"
    [[ ! -s $work/err ]] || fail "$name: the second user's append warned: $(cat "$work/err")"
    [[ -f $backups/成績累積データ-2026-11-16.dat ]] || fail "$name: the second user got no copy"
    [[ ! -e $backups/成績累積データ-2026-11-02.dat ]] || fail "$name: the oldest copy was not removed"
    [[ $(results_copies "$backups") -eq 14 ]] ||
        fail "$name: $(results_copies "$backups") copies, not 14"
    # The history the first user's delete began is copied with the results file.
    [[ -f $backups/成績変更履歴-2026-11-16.dat ]] || fail "$name: the history was not copied"
    as $second "$groups" "$tool" delete "$file" 1 2>"$work/err" ||
        fail "$name: the second user cannot delete: $(cat "$work/err")"
    # Each undoes the other's change: the put-back's journal and the history stay the other's too.
    as $first "$groups" "$tool" undo "$file" 2 2>"$work/err" ||
        fail "$name: the first user cannot undo the second user's delete: $(cat "$work/err")"
    as $second "$groups" "$tool" undo "$file" 3 2>"$work/err" ||
        fail "$name: the second user cannot undo the first user's undo: $(cat "$work/err")"
    [[ $(as $second "$groups" "$tool" dump "$file" | wc -l) -eq 15 ]] ||
        fail "$name: not 14 runs of the first user and 2 of the second, less the deleted one"
    as $second "$groups" "$tool" check "$file" --now "2026-11-16 12:00:00" >"$work/out" ||
        fail "$name: check as the second user: $(cat "$work/out")"
}

# The daily copies of the results file in the backup folder `$1` (beside those of the history).
results_copies() { find "$1" -maxdepth 1 -name '成績累積データ-*' | wc -l; }

two_users "group, setgid" 2775 $class --groups=$class "664 $class"
two_users "group" 0775 $class --groups=$class "664 $class"
# Writable by all: any group will do.
two_users "all" 0777 0 --clear-groups "666 $first"

# What check tells of a folder the first user made before the second could write in it.
data=$work/old/gaisan
mkdir -p "$data/成績バックアップ"
chmod 0755 "$work/old"
chgrp $class "$data"
chmod 2775 "$data"
chown $first "$data/成績バックアップ"
"$tool" append "$data/成績累積データ.dat" --student 1 --level 1 --seconds 50 --at "2026-11-30 10:00:00"
chown $first:$class "$data/成績累積データ.dat"
chmod 0644 "$data/成績累積データ.dat"
status=0
as $second --groups=$class "$tool" check "$data/成績累積データ.dat" >"$work/out" || status=$?
[[ $status -eq 1 ]] || fail "check of a folder the second user cannot write exited $status, not 1"
grep -q "^problem: $data/成績累積データ.dat: .*モード 0644" "$work/out" ||
    fail "check does not name the results file: $(cat "$work/out")"
grep -q "^problem: $data/成績バックアップ: .*バックアップが作られません" "$work/out" ||
    fail "check does not name the backup folder: $(cat "$work/out")"
echo "records_two_users: ok"
