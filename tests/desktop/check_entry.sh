#!/bin/sh
# The desktop entry and the metainfo pass their validators with nothing to say, apart from
# the one note that the home page is a plain http address (it is the program's own link).
# usage: check_entry.sh DESKTOP_FILE METAINFO_FILE
set -u
. "$(dirname "$0")/lib.sh"
need desktop-file-validate appstreamcli
desktop=$1 metainfo=$2

out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed:
$out"
[ -z "$out" ] || fail "desktop-file-validate has remarks:
$out"

out=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1) ||
    fail "appstreamcli validate failed:
$out"
# Tagged lines look like "I: <id>:<line>: <tag> <detail>".
remarks=$(printf '%s\n' "$out" | grep -E '^[EWIP]: ' | grep -v -E '^I: [^ ]+ url-not-secure http://www\.riduduz\.example\.com/')
[ -z "$remarks" ] || fail "appstreamcli has remarks:
$out"
echo "desktop entry and metainfo are valid"
