#!/usr/bin/env bash
# Builds the Debian package from the build folder with CPack, unpacks it and checks what a school
# gets: the suite layout, the configuration file, the demo data root, the menu entry, the manual
# pages, a gaisan-records that runs, and a gaisan-server that serves its pages, with a systemd
# unit that the package leaves disabled. lintian, when installed, must report no errors, and
# systemd-analyze, when installed, must find nothing wrong with the unit.
# Usage: package.sh BUILD_FOLDER
set -euo pipefail
export LC_ALL=C.UTF-8

build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Other users than root, each with the usual umask, as the classroom's users and the server's
# service run; only root can switch to them.
switch_users=false
if [[ $(id -u) -eq 0 ]] && command -v setpriv >/dev/null; then
    switch_users=true
fi
as_user() {  # as_user UID command...
    local user=$1
    shift
    setpriv --reuid="$user" --regid="$user" --clear-groups -- sh -c 'umask 022 && exec "$@"' as "$@"
}

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
[[ -x $root/usr/bin/gaisan-server ]] || fail "no gaisan-server on the PATH"
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
for page in gaisan gaisan-records gaisan-server; do
    zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH ${page^^} 1" || fail "no manual page $page(1)"
done
[[ -s $root/usr/share/doc/gaisan/copyright ]] || fail "no copyright file"

# Dependencies from the libraries actually linked, the font the rows need and the translations
# of the standard dialogs.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libicu72 libsndfile1 libpulse0 libsodium23 libcpp-httplib0.11 libqrencode4 \
    fonts-ipafont-gothic qt6-translations-l10n; do
    [[ $depends == *"$package"* ]] || fail "Depends lacks $package: $depends"
done

# The server's pages, every file of the source tree's web/ in its subfolder.
web=$root/usr/share/gaisan/web
source_web=$(cd "$(dirname "$0")/../../web" && pwd)
(cd "$source_web" && find . -type f -print0) | while IFS= read -r -d '' file; do
    cmp -s "$source_web/$file" "$web/$file" || fail "the pages lack ${file#./}"
done

# The server's unit, installed and left disabled: no link under /etc/systemd and nothing in the
# maintainer scripts that enables or starts it.
unit=$root/usr/lib/systemd/system/gaisan-server.service
[[ -f $unit ]] || fail "no systemd unit gaisan-server.service"
grep -qx 'ExecStart=/usr/bin/gaisan-server /usr/lib/gaisan' "$unit" ||
    fail "the unit does not serve /usr/lib/gaisan with /usr/bin/gaisan-server"
[[ -z $(find "$root" -path '*/etc/systemd/*' 2>/dev/null) ]] || fail "the package enables a unit"
! grep -qE 'systemctl|deb-systemd' "$work"/control/{postinst,prerm,postrm,preinst} 2>/dev/null ||
    fail "a maintainer script enables or starts the server"
if command -v systemd-analyze >/dev/null; then
    # Verified beside the system's units, with the program it starts where it was unpacked.
    mkdir "$work/units"
    sed "s|^ExecStart=/usr/bin/|ExecStart=$root/usr/bin/|" "$unit" >"$work/units/gaisan-server.service"
    verified=$(systemd-analyze verify --man=no "$work/units/gaisan-server.service" 2>&1) &&
        [[ -z $verified ]] || fail "systemd-analyze finds the unit wrong:"$'\n'"$verified"
else
    echo "systemd-analyze is not installed: the unit was not verified"
fi

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
if $switch_users; then
    chmod 0755 "$work"
    records=$root/usr/bin/gaisan-records
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

# The unpacked server on that data root, named by a パスデータ.txt of the test's own, finds the
# unpacked pages beside it, prints the address and the classroom code, serves the name list's
# page and stops cleanly on SIGTERM. Where users can be switched it runs as a user of its own with
# the usual umask, as its unit runs it, and the code file it makes stays writable by the others.
suite=$work/suite
mkdir "$suite"
{
    printf '%s/\r\n' "$work/var" | iconv -f UTF-8 -t CP932
    printf '0\r\n%.0s' {1..9}
} >"$suite/パスデータ.txt"
# A mark that only the unpacked page carries, since the build's source tree is on this machine
# too and a server that missed its own pages would serve that one.
printf '<!-- unpacked -->\n' >>"$web/index.html"
server_user=()
$switch_users && server_user=(setpriv --reuid=64103 --regid=64103 --clear-groups --)
"${server_user[@]}" sh -c 'umask 022 && exec "$@"' as "$root/usr/bin/gaisan-server" \
    --listen 127.0.0.1:0 "$suite" >"$work/server.out" 2>"$work/server.err" &
server=$!
stop_server() { kill -KILL "$server" 2>/dev/null || true; }
trap 'stop_server; rm -rf "$work"' EXIT
for _ in {1..100}; do
    if [[ $(wc -l <"$work/server.out") -ge 2 ]] || ! kill -0 "$server" 2>/dev/null; then break; fi
    sleep 0.1
done
address=$(sed -n 1p "$work/server.out")
code=$(sed -n 2p "$work/server.out")
[[ $address =~ ^http://127\.0\.0\.1:([0-9]+)/$ ]] ||
    fail "the unpacked server printed no address: $address $(cat "$work/server.err")"
port=${BASH_REMATCH[1]}
[[ $code =~ ^[0-9]{6,}$ ]] || fail "the unpacked server printed no classroom code: $code"
code_file=$work/var/gaisan/ブラウザ教室コード.txt
[[ $(head -n 1 "$code_file") == "$code" ]] || fail "the classroom code is not kept in $code_file"
if $switch_users; then
    as_user 64104 test -w "$code_file" || fail "the server's code file is not writable by other users"
fi
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' >&3
cat <&3 >"$work/response"
exec 3<&-
[[ $(head -n 1 "$work/response") == $'HTTP/1.1 200 OK\r' ]] ||
    fail "the unpacked server does not serve /: $(head -n 1 "$work/response")"
sed '1,/^\r$/d' "$work/response" | cmp -s - "$web/index.html" ||
    fail "the unpacked server serves another page than the unpacked index.html at /"
kill -TERM "$server"
for _ in {1..100}; do
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$server" 2>/dev/null && fail "the unpacked server did not stop within 10 s of SIGTERM"
status=0
wait "$server" || status=$?
[[ $status -eq 0 ]] || fail "the unpacked server ended with status $status on SIGTERM: $(cat "$work/server.err")"

if command -v lintian >/dev/null; then
    errors=$(lintian "$deb" 2>/dev/null | grep '^E:' || true)
    [[ -z $errors ]] || fail "lintian reports errors:"$'\n'"$errors"
else
    echo "lintian is not installed: the package was not linted"
fi
echo "package: ok ($(basename "$deb"), $(stat -c %s "$deb") bytes)"
