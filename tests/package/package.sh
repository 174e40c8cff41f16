#!/usr/bin/env bash
# Builds the Debian package from the build folder with CPack, unpacks it and checks what a school
# gets: the suite layout, the configuration file, the demo data root, the menu entry, the manual
# pages, and a gaisan-records that runs. lintian, when installed, must report no errors.
# Usage: package.sh BUILD_FOLDER
set -euo pipefail
export LC_ALL=C.UTF-8

build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null 2>&1) || fail "cpack could not build the package"
deb=$(ls "$work"/out/gaisan_*_amd64.deb) || fail "no gaisan_<version>_amd64.deb"
root=$work/root
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$work/control"

# The suite layout: the program in its own folder beside パスデータ.txt, which is a link to the
# configuration file in /etc; the commands on the PATH.
[[ -x $root/usr/lib/gaisan/gaisan/gaisan ]] || fail "no program in /usr/lib/gaisan/gaisan"
[[ $(readlink "$root/usr/bin/gaisan") == ../lib/gaisan/gaisan/gaisan ]] || fail "no gaisan on the PATH"
[[ -x $root/usr/bin/gaisan-records ]] || fail "no gaisan-records on the PATH"
[[ $(readlink "$root/usr/lib/gaisan/パスデータ.txt") == /etc/gaisan/path-data.txt ]] ||
    fail "パスデータ.txt is not the link to /etc/gaisan/path-data.txt"
[[ $(head -n 1 "$root/etc/gaisan/path-data.txt") == $'/var/lib/gaisan/\r' ]] ||
    fail "path-data.txt does not name /var/lib/gaisan/ on a CR LF line"
grep -qx /etc/gaisan/path-data.txt "$work/control/conffiles" || fail "path-data.txt is no conffile"
[[ -x $work/control/postinst ]] || fail "no postinst to lay out the data root"

# The demo data root, without results.
demo=$root/usr/share/gaisan/demo-data
for file in 共通データ.txt 新名簿.txt gaisan/タイム回数データ.txt 音フォルダ/新音ファイル.txt 音フォルダ/合格.wav; do
    [[ -f $demo/$file ]] || fail "the demo data root lacks $file"
done
[[ ! -e $demo/gaisan/成績累積データ.dat ]] || fail "the package carries a results file"

# The menu entry, its icon and the manual pages.
desktop=$root/usr/share/applications/gaisan.desktop
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
grep -qx 'Name=概算ドリル' "$desktop" || fail "the menu entry is not named 概算ドリル"
grep -qx 'Exec=gaisan' "$desktop" || fail "the menu entry does not start gaisan"
[[ -s $root/usr/share/icons/hicolor/scalable/apps/gaisan.svg ]] || fail "no icon"
for page in gaisan gaisan-records; do
    zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH ${page^^} 1" || fail "no manual page $page(1)"
done
[[ -s $root/usr/share/doc/gaisan/copyright ]] || fail "no copyright file"

# Dependencies from the libraries actually linked, the font the rows need and the translations
# of the standard dialogs.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libicu72 libsndfile1 libpulse0 libsodium23 fonts-ipafont-gothic qt6-translations-l10n; do
    [[ $depends == *"$package"* ]] || fail "Depends lacks $package: $depends"
done

# The unpacked gaisan-records works on the unpacked demo data root.
: >"$work/empty.dat"
[[ $("$root/usr/bin/gaisan-records" check "$work/empty.dat") == "ok: 0 records" ]] ||
    fail "the unpacked gaisan-records does not check an empty results file"
"$root/usr/bin/gaisan-records" roster "$demo" --now "2026-12-10 10:00:00" | grep -q '佐藤　陽菜' ||
    fail "the unpacked gaisan-records does not read the demo roster"

# The demo data root as the postinst script lays it out, in a folder of the test's own: every
# local user records, gets the day's copy and deletes, whoever made the files before.
sed -e "s|/var/lib/gaisan|$work/var|" -e "s|/usr/share/gaisan/demo-data|$demo|" \
    "$work/control/postinst" >"$work/postinst"
sh "$work/postinst" configure || fail "the postinst script failed"
results=$work/var/gaisan/成績累積データ.dat
[[ -f $results ]] || fail "the postinst script laid out no results file"
if [[ $(id -u) -eq 0 ]] && command -v setpriv >/dev/null; then
    chmod 0755 "$work"
    records=$root/usr/bin/gaisan-records
    as_user() {  # as_user UID command...: with the usual umask 022
        local user=$1
        shift
        setpriv --reuid="$user" --regid="$user" --clear-groups -- sh -c 'umask 022 && exec "$@"' as "$@"
    }
    # The first user makes the copies' folder and a copy, and deletes a run; the second records
    # after that, gets the next day's copy and deletes a run too.
    for turn in "64101 2026-12-09" "64101 2026-12-10" "64102 2026-12-10" "64102 2026-12-11"; do
        read -r user day <<<"$turn"
        as_user "$user" "$records" append "$results" --student 1 --level 1 --seconds 50 \
            --at "$day 10:00:00" 2>"$work/err" && [[ ! -s $work/err ]] ||
            fail "user $user's run of $day in the demo data root: $(cat "$work/err")"
        [[ $day == 2026-12-09 || -f $work/var/gaisan/成績バックアップ/成績累積データ-$day.dat ]] ||
            fail "user $user got no copy of $day in the demo data root"
        if [[ $day == 2026-12-10 ]]; then
            as_user "$user" "$records" delete "$results" 1 || fail "user $user cannot delete in the demo data root"
        fi
    done
    [[ $("$records" dump "$results" | wc -l) -eq 2 ]] || fail "the demo data root lost runs"
else
    echo "skipped: two users' turns in the demo data root need root to switch users"
fi

if command -v lintian >/dev/null; then
    errors=$(lintian "$deb" 2>/dev/null | grep '^E:' || true)
    [[ -z $errors ]] || fail "lintian reports errors:"$'\n'"$errors"
else
    echo "lintian is not installed: the package was not linted"
fi
echo "package: ok ($(basename "$deb"), $(stat -c %s "$deb") bytes)"
