#!/bin/sh
# Where the time from exec to the first painted window goes: the game against a bare Qt 6
# window with a menu bar and a translation loaded, side by side in one virtual X server, RUNS
# times each (default 15); the game once in Japanese and once in English (its own translation).
# Prints the median of each stage in milliseconds after exec.
#
#   bench/startup.sh GAME BARE_WINDOW [RUNS]
#
# e.g. bench/startup.sh build/ci/bin/zubeki build/ci/bin/zubeki_bare_window
set -u
if [ "$#" -lt 2 ]; then
    echo "usage: $0 GAME BARE_WINDOW [RUNS]" >&2
    exit 2
fi
if [ -z "${ZUBEKI_STARTUP_IN_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run is not installed" >&2; exit 1; }
    ZUBEKI_STARTUP_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" sh "$0" "$@"
fi
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
GAME=$(absolute "$1")
BARE=$(absolute "$2")
RUNS=${3:-15}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export ZUBEKI_STARTUP_TRACE=1 SDL_AUDIODRIVER=dummy

# One start: the stages' times after exec, "stage ms" a line.
#   once PROGRAM [ARGUMENT...]
once() {
    rm -f "$WORK/err"
    start=$(date +%s.%N)
    (cd "$WORK" && exec "$@" 2>"$WORK/err") &
    pid=$!
    tries=0
    until grep -q '^startup painted' "$WORK/err" 2>/dev/null; do
        tries=$((tries + 1))
        [ "$tries" -lt 500 ] || break
        sleep 0.01
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    awk -v start="$start" '/^startup / { printf "%s %.1f\n", $2, $3 - start * 1000 }' "$WORK/err"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }

#   report NAME PROGRAM [ARGUMENT...]
report() {
    name=$1
    shift
    : >"$WORK/$name.all"
    once "$@" >/dev/null # the first start warms the disk cache
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        once "$@" >>"$WORK/$name.all"
        i=$((i + 1))
    done
    printf '%s:' "$name"
    for stage in main qt translation window loaded painted; do
        grep -q "^$stage " "$WORK/$name.all" || continue
        printf ' %s %s' "$stage" "$(awk -v s="$stage" '$1 == s { print $2 }' "$WORK/$name.all" | median)"
    done
    printf ' (ms after exec, median of %s)\n' "$RUNS"
}

report bare "$BARE"
report zubeki-ja "$GAME" --lang ja
report zubeki-en "$GAME" --lang en
