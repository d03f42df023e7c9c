#!/bin/sh
# CPack builds a .deb holding exactly the installed files under /usr, with control fields
# that Debian 12 can satisfy: the packages of the libraries the program links, the fonts and
# xdg-utils, and nothing else. Unpacked into a scratch root, the program runs on a private
# Xvfb as an ordinary user, shows its window with the class the desktop entry names, and on
# SIGTERM saves today's total into that user's data folder and exits with status 0.
# usage: check_deb.sh BUILD_DIR APP_ID VERSION
set -u
. "$(dirname "$0")/lib.sh"
need timeout cpack dpkg dpkg-deb dpkg-query readelf Xvfb xwininfo
build=$1 id=$2 version=$3
make_scratch
chmod 0755 "$scratch"

# ---- build it ----
# cpack first brings the build up to date; after a full build that takes seconds.
timeout 180 cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" \
    >"$scratch/cpack.log" 2>&1 || fail "cpack failed or took over 180 s (is the build up to date?):
$(tail -n 40 "$scratch/cpack.log")"
arch=$(dpkg --print-architecture)
deb=$scratch/out/riduduz_${version}_$arch.deb
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$scratch/out")"

# ---- control fields ----
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = riduduz ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
for f in Maintainer Description Section Priority Homepage; do
    [ -n "$(field $f)" ] || fail "no $f field"
done
[ -z "$(field Pre-Depends)$(field Recommends)$(field Conflicts)" ] ||
    fail "unexpected relations: $(dpkg-deb -I "$deb")"

# Depends names exactly: the package of each library the program links, the fonts and
# xdg-utils. Each must be installable here: installed at a version that satisfies it.
field Depends | tr ',' '\n' | sed 's/^ *//; /^$/d' >"$scratch/depends"
grep -q '|' "$scratch/depends" && fail "alternatives in Depends: $(field Depends)"
sed 's/ .*//' "$scratch/depends" | sort >"$scratch/depends.names"
dpkg-deb -x "$deb" "$scratch/root" || fail "dpkg-deb -x failed"
prog=$scratch/root/usr/bin/riduduz
{
    printf '%s\n' fonts-liberation2 fonts-dejavu-core xdg-utils
    for soname in $(readelf -d "$prog" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        # The package that ships this library for our architecture.
        owner=$(dpkg-query -S "*/$soname" 2>/dev/null | grep -E "^[^ ]+:$arch: " | head -n 1 | cut -d: -f1)
        [ -n "$owner" ] || fail "no installed package ships $soname"
        echo "$owner"
    done
} >"$scratch/expected.list"
sort -u "$scratch/expected.list" >"$scratch/expected.names"
diff -u "$scratch/expected.names" "$scratch/depends.names" >"$scratch/diff" ||
    fail "Depends names other packages than expected ($(field Depends)):
$(cat "$scratch/diff")"
while read -r name rest; do
    status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$name" 2>/dev/null)
    [ "$status" = "ii " ] || fail "$name is not installed here, so the package would not install"
    have=$(dpkg-query -W -f='${Version}' "$name")
    if [ -n "$rest" ]; then
        op=$(echo "$rest" | sed 's/^(\([<>=]*\) .*/\1/') want=$(echo "$rest" | sed 's/^([<>=]* \(.*\))$/\1/')
        case $op in '>=') op=ge ;; '<=') op=le ;; '=') op=eq ;; '>>') op=gt ;; '<<') op=lt ;; *) fail "odd relation $rest" ;; esac
        dpkg --compare-versions "$have" "$op" "$want" || fail "$name $have does not satisfy $rest"
    fi
done <"$scratch/depends"

# ---- contents: the install's files under /usr, the program stripped but still versioned ----
(cd "$scratch/root/usr" && find . ! -type d | sed 's|^\./||' | sort) >"$scratch/files"
others=$(cd "$scratch/root" && find . ! -type d ! -path './usr/*')
[ -z "$others" ] || fail "files outside /usr: $others"
expected_files "$id" >"$scratch/expected"
diff -u "$scratch/expected" "$scratch/files" >"$scratch/diff" || fail "packaged files differ:
$(cat "$scratch/diff")"
readelf -S "$prog" | grep -q '\.debug_info' && fail "the packaged program is not stripped"
readelf --string-dump=.note.riduduz.version "$prog" 2>/dev/null | grep -q "FileVersion=$version" ||
    fail "the packaged program lost its version note"

# ---- run it as an installed program ----
# The log must go to the user's data folder, not beside /usr/bin/riduduz: as root every
# folder is writable, so the program runs as nobody; otherwise as ourselves, with the
# unpacked usr/bin read-only.
home=$scratch/home
mkdir -p "$home"
runas=
if [ "$(id -u)" -eq 0 ]; then
    need setpriv
    runas="setpriv --reuid=65534 --regid=65534 --clear-groups"
    chown 65534:65534 "$home"
    chmod -R a+rX "$scratch/root"
    $runas test -x "$prog" || fail "user 65534 cannot reach $prog"
fi
chmod a-w "$scratch/root/usr/bin"

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
cleanup_pids=$!
wait_for 20 test -s "$scratch/display" || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
display=:$(head -n 1 "$scratch/display")

day_before=$(env -i date +%Y-%m-%d)
# The program's pid comes from the shell that execs it; its status from the one around it.
(
    # shellcheck disable=SC2016,SC2086
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/data" DISPLAY="$display" \
        sh -c 'echo $$ >"$0/pid"; exec "$@"' "$scratch" $runas "$prog" >"$scratch/app.log" 2>&1
    echo $? >"$scratch/rc"
) &
wait_for 5 test -s "$scratch/pid" || fail "the program did not start"
pid=$(cat "$scratch/pid")
cleanup_pids="$pid $cleanup_pids"

# Its window: "Riduduz", or "My Riduduz - hh:mm:ss" once it counts; xwininfo shows the class.
window() {
    xwininfo -display "$display" -root -tree 2>/dev/null |
        grep -E '"(My )?Riduduz( - [0-9:]+)?": \(' >"$scratch/window"
}
wait_for 20 window || fail "no Riduduz window appeared; program said:
$(cat "$scratch/app.log")"
class=$(desktop_key "$scratch/root/usr/share/applications/$id.desktop" StartupWMClass)
grep -q "(\"riduduz\" \"$class\")" "$scratch/window" ||
    fail "window class is not (riduduz $class): $(cat "$scratch/window")"

# Let one second be counted, so the saved total is the program's own.
counted() {
    window && grep -q '"My Riduduz - 00:00:0[1-9]"' "$scratch/window"
}
wait_for 20 counted || fail "the count did not start: $(cat "$scratch/window")"

kill -TERM "$pid" || fail "could not signal the program"
wait_for 20 test -s "$scratch/rc" || fail "the program did not end after SIGTERM; it said:
$(cat "$scratch/app.log")"
rc=$(cat "$scratch/rc")
[ "$rc" -eq 0 ] || fail "exit status $rc after SIGTERM; program said:
$(cat "$scratch/app.log")"

log=$home/data/riduduz/riduduz.ini
[ -f "$log" ] || fail "no work log at $log; files: $(find "$home" "$scratch/root/usr/bin")"
[ -e "$scratch/root/usr/bin/riduduz.ini" ] && fail "the log went beside the program"
[ -z "$runas" ] || [ "$(stat -c %u "$log")" = 65534 ] || fail "the log was not written by the user"
grep -q '^\[WorkTime\]' "$log" || fail "no [WorkTime] section in the log:
$(cat "$log")"
# The day the second was counted in: the one the run began or ended in.
day_after=$(env -i date +%Y-%m-%d)
grep -q -E "^($day_before|$day_after)=[1-9][0-9]*\$" "$log" || fail "no total for today in the log:
$(cat "$log")"
echo "the .deb is complete, and its program runs and keeps its log in the data folder"
