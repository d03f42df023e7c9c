#!/bin/sh
# Fails listing every tracked C++ file that clang-format would change.
set -u
format=$1
bad=0
for f in $(git ls-files '*.cpp' '*.h'); do
    if ! "$format" --dry-run --Werror "$f" >/dev/null 2>&1; then
        echo "not formatted: $f (run: clang-format -i $f)"
        bad=1
    fi
done
exit $bad
