#!/bin/sh
# The manual pages name the same flags as the programs' --help, and read without a
# warning from man.
#
#   man_pages.sh ZUBEKI ZUBEKI_CLI MAN_DIR [ZUBEKI_ENGINE [ZUBEKI_SERVER]]
set -u
ZUBEKI=$1
CLI=$2
MAN=$3
ENGINE=${4:-}
SERVER=${5:-}
unset DISPLAY WAYLAND_DISPLAY
failures=0

flags() {
    sed 's/\\-/-/g' | grep -oE -- '(^|[^a-zA-Z0-9-])--?[a-z][a-z-]*' | grep -oE -- '--?[a-z][a-z-]*' |
        sort -u
}

# compare PAGE HELP_TEXT
compare() {
    page=$MAN/$1
    inPage=$(flags <"$page")
    inHelp=$(printf '%s\n' "$2" | flags)
    if [ "$inPage" != "$inHelp" ]; then
        echo "FAIL: $1 and --help name different flags"
        printf '%s\n' "$inPage" >"$TMP.page"
        printf '%s\n' "$inHelp" >"$TMP.help"
        diff "$TMP.page" "$TMP.help" | sed -n 's/^</  only in the page:/p; s/^>/  only in --help:/p'
        failures=$((failures + 1))
    else
        echo "$1: $(echo "$inPage" | tr '\n' ' ')"
    fi
    if command -v man >/dev/null 2>&1; then
        warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
            man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
        if [ -n "$warnings" ]; then
            echo "FAIL: man warns about $1: $warnings"
            failures=$((failures + 1))
        fi
    fi
}

TMP=$(mktemp)
trap 'rm -f "$TMP" "$TMP.page" "$TMP.help"' EXIT

compare zubeki.6 "$("$ZUBEKI" --help)"

# zubeki-cli: its own usage and that of every command it lists.
help=$("$CLI" --help 2>&1 >/dev/null)
for command in $(printf '%s\n' "$help" | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p'); do
    help="$help
$("$CLI" "$command" --help 2>&1 >/dev/null)"
done
compare zubeki-cli.6 "$help"

if [ -n "$ENGINE" ]; then
    compare zubeki-engine.6 "$("$ENGINE" --help)"
fi

if [ -n "$SERVER" ]; then
    compare zubeki-server.6 "$("$SERVER" --help)"
fi

[ "$failures" -eq 0 ] || exit 1
echo PASS
