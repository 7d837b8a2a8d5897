#!/bin/sh
# The programs' command-line manners: --help and --version print and end with 0 without
# opening a window, a refused line is one line on standard error and status 2.
#
#   command_line.sh ZUBEKI ZUBEKI_CLI VERSION [ZUBEKI_SERVER]
#
# There is no display here: a program that tried to open its window would abort.
set -u
ZUBEKI=$1
CLI=$2
VERSION=$3
SERVER=${4:-}
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
OUT=$(mktemp)
ERR=$(mktemp)
failures=0
trap 'rm -f "$OUT" "$ERR"' EXIT

# expect WHAT STATUS STDOUT_LINES STDERR_LINES COMMAND...: runs COMMAND and checks its
# status and how many lines it wrote where (- for any number but at least one).
expect() {
    what=$1 status=$2 outLines=$3 errLines=$4
    shift 4
    "$@" >"$OUT" 2>"$ERR" </dev/null
    got=$?
    lines() { [ "$1" = - ] && [ "$(wc -l <"$2")" -ge 1 ] || [ "$(wc -l <"$2")" -eq "$1" ]; }
    if [ "$got" -ne "$status" ] || ! lines "$outLines" "$OUT" || ! lines "$errLines" "$ERR"; then
        echo "FAIL: $what: status $got (wanted $status)," \
            "$(wc -l <"$OUT") lines out (wanted $outLines), $(wc -l <"$ERR") lines err" \
            "(wanted $errLines)"
        sed 's/^/  out: /' "$OUT"
        sed 's/^/  err: /' "$ERR"
        failures=$((failures + 1))
        return 1
    fi
    return 0
}

# contains WHAT FILE TEXT
contains() {
    grep -qF -- "$3" "$2" || {
        echo "FAIL: $1: no '$3' in:"
        sed 's/^/  /' "$2"
        failures=$((failures + 1))
    }
}

expect "zubeki --help" 0 - 0 "$ZUBEKI" --help && contains "zubeki --help" "$OUT" "usage: zubeki"
expect "zubeki -h" 0 - 0 "$ZUBEKI" -h && contains "zubeki -h" "$OUT" "--version"
expect "zubeki --version" 0 1 0 "$ZUBEKI" --version &&
    contains "zubeki --version" "$OUT" "zubeki $VERSION"
# The first of several options decides; a record before it changes nothing.
expect "zubeki a.棋譜 --version" 0 1 0 "$ZUBEKI" a.棋譜 --version

expect "zubeki --bogus" 2 0 1 "$ZUBEKI" --bogus && contains "zubeki --bogus" "$ERR" "'--bogus'"
expect "zubeki -x" 2 0 1 "$ZUBEKI" -x && contains "zubeki -x" "$ERR" "zubeki: "
# Qt's own options are not ours to take either.
expect "zubeki -platform offscreen" 2 0 1 "$ZUBEKI" -platform offscreen
expect "zubeki a.棋譜 b.棋譜" 2 0 1 "$ZUBEKI" a.棋譜 b.棋譜 &&
    contains "two records" "$ERR" "'b.棋譜'"
expect "zubeki -- a.棋譜 -b.棋譜" 2 0 1 "$ZUBEKI" -- a.棋譜 -b.棋譜 &&
    contains "after --" "$ERR" "'-b.棋譜'"
# --lang takes ja or en, joined or apart; anything else is refused before the window.
for bad in "--lang fr" "--lang=" "--lang" "--lang=EN"; do
    # shellcheck disable=SC2086
    expect "zubeki $bad" 2 0 1 "$ZUBEKI" $bad && contains "zubeki $bad" "$ERR" "zubeki: --lang"
done
expect "zubeki --lang en --version" 0 1 0 "$ZUBEKI" --lang en --version
expect "zubeki --lang=ja --help" 0 - 0 "$ZUBEKI" --lang=ja --help
expect "zubeki --reset-settings --version" 0 1 0 "$ZUBEKI" --reset-settings --version
# A game online at start: each refused combination is one line before any window.
for bad in "--online-join h" "--online-create h --online-join h --code C" "--code C" \
    "--online-create h --side middle" "--online-create h a.棋譜" "--online-create"; do
    # shellcheck disable=SC2086
    expect "zubeki $bad" 2 0 1 "$ZUBEKI" $bad && contains "zubeki $bad" "$ERR" "zubeki: "
done
# A record alone goes on to the window, which cannot open here: not a status of ours.
"$ZUBEKI" a.棋譜 >/dev/null 2>&1 </dev/null
status=$?
if [ "$status" -eq 0 ] || [ "$status" -eq 2 ]; then
    echo "FAIL: zubeki a.棋譜 without a display ended with $status, as if it had not tried"
    failures=$((failures + 1))
fi

expect "zubeki-cli --version" 0 1 1 "$CLI" --version &&
    contains "zubeki-cli --version" "$ERR" "zubeki-cli $VERSION" &&
    contains "zubeki-cli --version" "$OUT" "{\"version\":\"$VERSION\"}"

if [ -n "$SERVER" ]; then
    expect "zubeki-server --help" 0 - 0 "$SERVER" --help &&
        contains "zubeki-server --help" "$OUT" "usage: zubeki-server"
    expect "zubeki-server --version" 0 1 0 "$SERVER" --version &&
        contains "zubeki-server --version" "$OUT" "zubeki-server $VERSION"
    expect "zubeki-server --bogus" 2 0 1 "$SERVER" --bogus && contains "zubeki-server --bogus" "$ERR" "'--bogus'"
    expect "zubeki-server --port 0" 2 0 1 "$SERVER" --port 0
    expect "zubeki-server --port" 2 0 1 "$SERVER" --port
    expect "zubeki-server --cert a.pem" 2 0 1 "$SERVER" --cert a.pem
    # A database that cannot be made is one line and status 1, not a server without one.
    expect "zubeki-server --db /nonexistent/x/games.sqlite" 1 0 1 "$SERVER" --db /nonexistent/x/games.sqlite
fi

[ "$failures" -eq 0 ] || exit 1
echo PASS
