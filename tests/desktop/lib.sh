# Helpers shared by the desktop tests (POSIX sh).

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (scripts/setup-deps installs it)"
    done
}

# wait_for SECONDS COMMAND...: runs COMMAND until it succeeds; false once SECONDS have passed.
wait_for() {
    wf_end=$(($(date +%s) + $1))
    shift
    while ! "$@"; do
        [ "$(date +%s)" -lt "$wf_end" ] || return 1
        sleep 0.1
    done
}

# A scratch folder, removed when the script ends; its path is in $scratch.
make_scratch() {
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/riduduz-desktop.XXXXXX") || fail "no scratch folder"
    trap 'cleanup' EXIT
    trap 'exit 1' INT TERM HUP
}

cleanup() {
    if [ -n "${cleanup_pids:-}" ]; then
        for p in $cleanup_pids; do kill "$p" 2>/dev/null; done
    fi
    # Files a test user made under the scratch folder are root's to remove.
    [ -n "${scratch:-}" ] && rm -rf "$scratch"
}

# The files an install puts under its prefix, one a line, sorted.
expected_files() {
    id=$1
    sort <<LIST
bin/riduduz
share/applications/$id.desktop
share/icons/hicolor/128x128/apps/$id.png
share/icons/hicolor/16x16/apps/$id.png
share/icons/hicolor/32x32/apps/$id.png
share/icons/hicolor/48x48/apps/$id.png
share/icons/hicolor/scalable/apps/$id.svg
share/man/man1/riduduz.1
share/metainfo/$id.metainfo.xml
LIST
}

# desktop_key FILE KEY: the value of KEY in the [Desktop Entry] group.
desktop_key() {
    sed -n '/^\[Desktop Entry\]/,/^\[/{s/^'"$2"'=//p}' "$1" | head -n 1
}
