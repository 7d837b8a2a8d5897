#!/bin/sh
# Starts the real game in a virtual X server, checks the starting picture on a screenshot
# of the screen, then presses Escape and expects the program to end with status 0.
#
#   start_and_quit.sh GAME CHECKER PICTURE_DIR ARTIFACT_DIR
#
# Exits 77 (skipped) when the X tools are missing.
set -u

if [ "$#" -ne 4 ]; then
    echo "usage: $0 GAME CHECKER PICTURE_DIR ARTIFACT_DIR" >&2
    exit 2
fi

if [ -z "${ZUBEKI_E2E_IN_XVFB:-}" ]; then
    for tool in xvfb-run xauth xdotool import-im6.q16; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "skipped: $tool is not installed"
            exit 77
        fi
    done
    ZUBEKI_E2E_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi

GAME=$1
CHECKER=$2
PICTURES=$3
ARTIFACTS=$4
SHOT=$ARTIFACTS/start.png

# The real window on the X server, whatever the caller's environment says.
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
export SDL_AUDIODRIVER=dummy
mkdir -p "$ARTIFACTS"
WORKDIR=$(mktemp -d)
cd "$WORKDIR" || exit 1

PID=
fail() {
    echo "FAIL: $*" >&2
    if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then kill "$PID"; fi
    rm -rf "$WORKDIR"
    exit 1
}

"$GAME" >"$ARTIFACTS/start_and_quit.log" 2>&1 &
PID=$!

WID=$(timeout 20 xdotool search --sync --onlyvisible --name '^ZUBEKI$' 2>/dev/null | head -n 1)
[ -n "$WID" ] || fail "the game's window did not appear"
echo "window $WID mapped"

# The first paint may come a moment after mapping: look again until the board is there.
tries=0
until
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    import-im6.q16 -window root "$SHOT" &&
        "$CHECKER" "$SHOT" "$PICTURES" "$X" "$Y"
do
    tries=$((tries + 1))
    [ "$tries" -lt 20 ] || fail "the starting picture is not right (see $SHOT)"
    kill -0 "$PID" 2>/dev/null || fail "the game ended before its picture was checked"
    sleep 0.25
done
echo "window at ($X, $Y), ${WIDTH}x${HEIGHT}; screenshot in $SHOT"

kill -0 "$PID" 2>/dev/null || fail "the game ended before Escape"
xdotool mousemove --window "$WID" 200 200
xdotool windowfocus --sync "$WID" key Escape

# Escape ends the program at once; give it two seconds.
polls=0
while kill -0 "$PID" 2>/dev/null; do
    polls=$((polls + 1))
    [ "$polls" -le 20 ] || fail "the game still runs 2 seconds after Escape"
    sleep 0.1
done
wait "$PID"
status=$?
PID=
rm -rf "$WORKDIR"
[ "$status" -eq 0 ] || fail "the game ended with status $status"
echo "the game ended with status 0"
