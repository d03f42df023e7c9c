#!/bin/sh
# The manual page renders at 80 columns without a warning from man or groff, keeps within
# the width, and has the sections a reader looks for.
# usage: check_manpage.sh MANPAGE
set -u
. "$(dirname "$0")/lib.sh"
need man groff
page=$1
make_scratch

MANWIDTH=80 man --warnings -l "$page" >"$scratch/out" 2>"$scratch/err" ||
    fail "man -l failed: $(cat "$scratch/err")"
[ -s "$scratch/err" ] && fail "man --warnings -l complains:
$(cat "$scratch/err")"
groff -ww -man -z "$page" 2>"$scratch/groff" || fail "groff failed: $(cat "$scratch/groff")"
[ -s "$scratch/groff" ] && fail "groff -ww complains:
$(cat "$scratch/groff")"

# Plain text: drop overstrike so widths and matches see what a reader sees.
sed 's/.\x08//g' "$scratch/out" >"$scratch/text"
wide=$(awk 'length($0) > 80' "$scratch/text")
[ -z "$wide" ] || fail "lines wider than 80 columns:
$wide"

for heading in NAME SYNOPSIS DESCRIPTION FILES SIGNALS ENVIRONMENT "EXIT STATUS" "SEE ALSO"; do
    grep -q "^$heading\$" "$scratch/text" || fail "no $heading section"
done
# What a user needs from it, each on a line of its own section's text.
while IFS='|' read -r what pattern; do
    grep -q -- "$pattern" "$scratch/text" || fail "does not mention $what ($pattern)"
done <<EOF2
the name line|^ *riduduz - count how long you have worked today
the log file|riduduz\.ini
the data folder|\$XDG_DATA_HOME/riduduz/riduduz\.ini
the default data folder|~/\.local/share/riduduz/riduduz\.ini
the signals|SIGTERM, SIGINT, SIGHUP
the environment|^ *XDG_DATA_HOME
the home folder|^ *HOME
the display|^ *DISPLAY
the exit status|exits with status 0
the home page|http://www\.riduduz\.example\.com/riduduz/index\.html
the version|Riduduz [0-9][0-9.]*
EOF2
echo "manual page renders cleanly"
