#!/bin/sh
# `cmake --install` with a prefix and DESTDIR puts every file, and only those, under
# DESTDIR/PREFIX, each in its place: the icons at their sizes and named after the desktop
# entry's Icon key, the entry's Exec the installed program, the metainfo launching the entry.
# usage: check_install.sh BUILD_DIR APP_ID
set -u
. "$(dirname "$0")/lib.sh"
need cmake file appstreamcli
build=$1 id=$2
prefix=/opt/riduduz-test
make_scratch
dest=$scratch/dest

DESTDIR=$dest timeout 120 cmake --install "$build" --prefix "$prefix" >"$scratch/log" 2>&1 ||
    fail "cmake --install failed:
$(cat "$scratch/log")"

# Nothing outside DESTDIR/PREFIX, and exactly the expected files inside it.
outside=$(cd "$dest" && find . ! -type d | sed 's|^\./|/|' | grep -v "^$prefix/")
[ -z "$outside" ] || fail "installed outside the prefix:
$outside"
(cd "$dest$prefix" && find . ! -type d | sed 's|^\./||' | sort) >"$scratch/files"
expected_files "$id" >"$scratch/expected"
diff -u "$scratch/expected" "$scratch/files" >"$scratch/diff" || fail "installed files differ:
$(cat "$scratch/diff")"

root=$dest$prefix
[ -x "$root/bin/riduduz" ] || fail "bin/riduduz is not executable"
file -b "$root/bin/riduduz" | grep -q '^ELF' || fail "bin/riduduz is not a program"

entry=$root/share/applications/$id.desktop
[ "$(desktop_key "$entry" Exec)" = riduduz ] || fail "Exec is not the installed riduduz"
icon=$(desktop_key "$entry" Icon)
for size in 16 32 48 128; do
    png=$root/share/icons/hicolor/${size}x$size/apps/$icon.png
    [ -f "$png" ] || fail "no $size-pixel icon named after Icon=$icon"
    file -b "$png" | grep -q "^PNG image data, $size x $size," ||
        fail "$png is not a $size x $size PNG: $(file -b "$png")"
done
svg=$root/share/icons/hicolor/scalable/apps/$icon.svg
file -b "$svg" | grep -q 'SVG' || fail "$svg is not an SVG picture"

grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "$root/share/metainfo/$id.metainfo.xml" || fail "the metainfo does not launch $id.desktop"

# The installed tree as AppStream sees it: metainfo, desktop entry and icons together.
out=$(appstreamcli validate-tree --no-net --no-color "$root" 2>&1) ||
    fail "appstreamcli validate-tree failed:
$out"
remarks=$(printf '%s\n' "$out" | grep -E '^[EW]: ')
[ -z "$remarks" ] || fail "appstreamcli validate-tree has remarks:
$out"
echo "install under DESTDIR$prefix is complete"
