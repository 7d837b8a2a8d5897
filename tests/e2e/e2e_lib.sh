# Shared steps of the end-to-end tests: sourced by each test script, never run on its own.
#
# A test script calls e2e_begin (or e2e_enter_xvfb, which runs the script again inside a
# virtual X server, and then e2e_setup), then drives the game with the functions below. Every wait is a
# bounded poll: a state that does not come ends the test with a message, never a hang.
#
# Variables the functions keep: PID (the game), WID (its main window), SCALE (device pixels
# per logical pixel), CANVAS_X / CANVAS_Y (the canvas's top-left on the screen, device
# pixels), WORKDIR (a fresh folder, removed at the end), ARTIFACTS (screenshots, logs),
# NAME (the test script's name).

# Runs the calling script again under xvfb-run with a screen of SIZE (WxH), or exits 77
# (skipped) when a tool is missing.
#   e2e_enter_xvfb SIZE "$@"
e2e_enter_xvfb() {
    size=$1
    shift
    [ -n "${ZUBEKI_E2E_IN_XVFB:-}" ] && return 0
    for tool in xvfb-run xauth xdotool import-im6.q16; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "skipped: $tool is not installed"
            exit 77
        fi
    done
    # -noreset: without it the server resets whenever its last client leaves, and a client
    # that connects during the reset is refused. A server that does not come up at all on
    # a busy machine makes the inner run answer 75, and it is started afresh.
    for attempt in 1 2 3; do
        ZUBEKI_E2E_IN_XVFB=1 xvfb-run -a -n $((200 + ($$ * 7 + attempt * 31) % 600)) \
            -s "-screen 0 ${size}x24 -noreset" sh "$0" "$@"
        rc=$?
        [ "$rc" -eq 75 ] || exit "$rc"
        echo "the virtual X server did not answer; starting it again ($attempt)" >&2
    done
    exit 1
}

# The start of a test taking GAME CHECKER PICTURE_DIR ARTIFACT_DIR: checks the arguments,
# enters the virtual X server with a screen of SIZE and sets GAME, CHECKER and PICTURES.
#   e2e_begin SIZE "$@"
e2e_begin() {
    size=$1
    shift
    if [ "$#" -ne 4 ]; then
        echo "usage: $0 GAME CHECKER PICTURE_DIR ARTIFACT_DIR" >&2
        exit 2
    fi
    e2e_enter_xvfb "$size" "$@"
    GAME=$1
    CHECKER=$2
    PICTURES=$3
    e2e_setup "$4" 1
}

# e2e_setup ARTIFACT_DIR SCALE
e2e_setup() {
    ARTIFACTS=$1
    SCALE=$2
    NAME=$(basename "$0" .sh)
    PID=
    WID=
    # The real window on the X server at the density the test asks for, whatever the
    # caller's environment says.
    unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_ENABLE_HIGHDPI_SCALING
    [ "$SCALE" -eq 1 ] || export QT_SCALE_FACTOR="$SCALE"
    : "${SDL_AUDIODRIVER:=dummy}"
    export SDL_AUDIODRIVER
    # Under AddressSanitizer, whole stacks for every allocation, so that a leak at exit in a
    # desktop library (Qt's D-Bus thread, when no session bus answers) is known by its library.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
    mkdir -p "$ARTIFACTS"
    tries=0
    until xdotool getdisplaygeometry >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ "$tries" -lt 50 ] || exit 75
        sleep 0.1
    done
    WORKDIR=$(mktemp -d)
    cd "$WORKDIR" || exit 1
    # The game keeps its settings under here, never in the player's own: every run a first run.
    XDG_CONFIG_HOME=$WORKDIR/config
    export XDG_CONFIG_HOME
}

running() {
    [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null
}

# The sound library keeps SIGTERM for itself, so a game left behind is killed outright.
stop_game() {
    if running; then
        kill -KILL "$PID" 2>/dev/null
        wait "$PID" 2>/dev/null
    fi
    PID=
}

fail() {
    echo "FAIL: $*" >&2
    stop_game
    rm -rf "$WORKDIR"
    exit 1
}

# The title of the small window a game online has beside the board.
ONLINE_PANEL="ZUBEKI 通信対局"

# Visible windows of the game other than its main window: menus and message boxes (the small
# window of a game online is no box to answer).
popups() {
    for w in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
        [ "$w" = "$WID" ] && continue
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$ONLINE_PANEL" ] && continue
        echo "$w"
    done
}

# Starts the game and waits for its main window. A message box that comes up before it
# (the sound library's warning, say) fails the test.
#   start_game LOG PROGRAM [ARGUMENT...]
start_game() {
    log=$1
    shift
    "$@" >"$log" 2>&1 &
    PID=$!
    WID=
    tries=0
    while :; do
        running || fail "the game ended at start (see $log)"
        others=
        for window in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
            if [ "$(xdotool getwindowname "$window" 2>/dev/null)" = ZUBEKI ]; then
                WID=$window
            else
                others=yes
            fi
        done
        [ -z "$WID" ] || return 0
        if [ -n "$others" ]; then
            shot "$ARTIFACTS/$NAME-box.png"
            fail "a message box came up before the window (see $ARTIFACTS/$NAME-box.png)"
        fi
        tries=$((tries + 1))
        [ "$tries" -le 200 ] || fail "the game's window did not appear"
        sleep 0.1
    done
}

# A screenshot of the whole screen; fails the test when none can be taken (inside $(...)
# only the subshell ends, so callers there check the status).
shot() {
    import-im6.q16 -window root "$1" || fail "no screenshot"
}

# Waits until SDL's disk audio driver has written sound after its first ~2048 silent samples
# (8 KB) to FILE: the game found its sound library and its music.
#   wait_for_music FILE
wait_for_music() {
    tries=0
    until [ "$(tail -c +8193 "$1" 2>/dev/null | tr -d '\000' | head -c 1 | wc -c)" -eq 1 ]; do
        tries=$((tries + 1))
        [ "$tries" -le 50 ] || fail "the disk audio output stays silent after its first 8 KB"
        running || fail "the game ended before it played music"
        sleep 0.1
    done
    echo "music: $(wc -c <"$1") bytes written to the disk audio file"
}

# Waits until the starting picture stands in the window and sets CANVAS_X / CANVAS_Y.
#   find_canvas SHOT
find_canvas() {
    tries=0
    until
        eval "$(xdotool getwindowgeometry --shell "$WID")"
        shot "$1" && found=$("$CHECKER" start "$1" "$PICTURES" "$X" "$Y" "$SCALE")
    do
        tries=$((tries + 1))
        [ "$tries" -lt 20 ] || fail "the starting picture is not right (see $1)"
        running || fail "the game ended before its picture was checked"
        sleep 0.25
    done
    CANVAS_X=$(echo "$found" | awk '/^canvas/ { print $2 }')
    CANVAS_Y=$(echo "$found" | awk '/^canvas/ { print $3 }')
    echo "window at ($X, $Y), ${WIDTH}x${HEIGHT}; canvas at ($CANVAS_X, $CANVAS_Y)"
}

# The board as the screenshot SHOT shows it (one row per line, see the checker).
read_board() {
    shot "$1" && "$CHECKER" board "$1" "$PICTURES" "$CANVAS_X" "$CANVAS_Y" "$SCALE"
}

# Waits until the board shows EXPECTED (nine rows, one per line).
#   wait_board SHOT EXPECTED WHAT
wait_board() {
    tries=0
    while :; do
        board=$(read_board "$1") || fail "the board could not be read from $1"
        [ "$board" = "$2" ] && return 0
        tries=$((tries + 1))
        if [ "$tries" -ge 40 ]; then
            printf 'expected:\n%s\nshown:\n%s\n' "$2" "$board" >&2
            fail "$3 (see $1)"
        fi
        running || fail "the game ended while waiting: $3"
        sleep 0.1
    done
}

# Waits until a menu or message box is up; sets POPUP to the newest.
wait_popup() {
    tries=0
    until POPUP=$(popups | tail -n 1) && [ -n "$POPUP" ]; do
        tries=$((tries + 1))
        [ "$tries" -le 50 ] || fail "$1"
        running || fail "the game ended while waiting: $1"
        sleep 0.1
    done
}

# Fails when a menu or message box stands over the window.
expect_no_popup() {
    [ -z "$(popups)" ] || fail "$1"
}

# Answers the message box that comes up with Return and waits until that box is gone
# (another may follow at once).
#   answer_box WHAT
answer_box() {
    wait_popup "no message box: $1"
    xdotool windowfocus --sync "$POPUP" key Return
    tries=0
    while popups | grep -q "^$POPUP\$"; do
        tries=$((tries + 1))
        [ "$tries" -le 50 ] || fail "the message box stays: $1"
        sleep 0.1
    done
}

# Opens the first menu of the menu bar (対局) with a click on its caption, then walks the
# menus with the keys given: the positions of the other captions depend on the font.
#   menu KEY...
menu() {
    xdotool mousemove --window "$WID" $((18 * SCALE)) $((5 * SCALE)) click 1
    wait_popup "the menu 対局 did not open"
    xdotool key --delay 50 "$@"
}

# A left click in the middle of square (x, y). (mousemove --sync would wait for a
# movement that never comes when the pointer already stands there.)
#   click_square X Y
click_square() {
    xdotool mousemove $((CANVAS_X + SCALE * (70 + 33 * $1 + 16))) \
        $((CANVAS_Y + SCALE * (7 + 41 * $2 + 20))) click 1
}

# Picks up the piece on square (x, y): a press, until the square has the light red outline
# of a selected piece. After a move the game pauses (blinking) and drops presses, so the
# press is made again until one is answered; pressing the selected piece again only
# selects it again.
#   pick_up X Y SHOT
pick_up() {
    presses=0
    while [ "$presses" -lt 30 ]; do
        click_square "$1" "$2"
        presses=$((presses + 1))
        sleep 0.1
        shot "$3"
        if "$CHECKER" outline "$3" "$CANVAS_X" "$CANVAS_Y" "$SCALE" "$1" "$2" FF0000 >/dev/null
        then
            return 0
        fi
        running || fail "the game ended while picking up the piece on ($1, $2)"
    done
    fail "the piece on ($1, $2) has no light red outline after $presses presses (see $3)"
}

# Escape ends the game at once with status 0.
quit_game() {
    running || fail "the game ended before Escape"
    xdotool mousemove --window "$WID" $((200 * SCALE)) $((200 * SCALE))
    xdotool windowfocus --sync "$WID" key Escape
    polls=0
    while running; do
        polls=$((polls + 1))
        [ "$polls" -le 20 ] || fail "the game still runs 2 seconds after Escape"
        sleep 0.1
    done
    wait "$PID"
    status=$?
    PID=
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
    echo "the game ended with status 0"
}

# Starts zubeki-server (PROGRAM) on a free port with its database in the work folder; sets
# SERVER_PID and PORT.
#   start_server PROGRAM LOG
start_server() {
    for attempt in 1 2 3 4 5; do
        PORT=$((20000 + ($$ * 13 + attempt * 977) % 30000))
        "$1" --port "$PORT" --db "$WORKDIR/games.sqlite" >"$2" 2>&1 &
        SERVER_PID=$!
        tries=0
        until grep -q listening "$2"; do
            tries=$((tries + 1))
            kill -0 "$SERVER_PID" 2>/dev/null && [ "$tries" -le 50 ] || break
            sleep 0.1
        done
        grep -q listening "$2" && return 0
        kill -KILL "$SERVER_PID" 2>/dev/null
        SERVER_PID=
    done
    fail "zubeki-server did not start (see $2)"
}

# The invitation code a window started with --online-create printed into LOG; sets CODE.
#   invitation_code LOG
invitation_code() {
    tries=0
    until CODE=$(sed -n 's/^zubeki: invitation code \([A-Z0-9-]*\).*/\1/p' "$1") && [ -n "$CODE" ]; do
        tries=$((tries + 1))
        [ "$tries" -le 50 ] || fail "no invitation code (see $1)"
        sleep 0.1
    done
    echo "invitation code $CODE"
}

# The game's window moved to (X, 0) and its online panel below it, where it covers nothing.
#   place_online X
place_online() {
    xdotool windowmove --sync "$WID" "$1" 0
    tries=0
    panel=
    while [ -z "$panel" ]; do
        for w in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
            [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$ONLINE_PANEL" ] && panel=$w
        done
        tries=$((tries + 1))
        [ -n "$panel" ] || [ "$tries" -le 50 ] || fail "no online panel"
        [ -n "$panel" ] || sleep 0.1
    done
    xdotool windowmove --sync "$panel" "$1" 620
}

# A move of the window's, by clicks: the piece, then where it goes (files count from the right,
# ranks a..i from the top; a move ending in + is made with the right button, which promotes).
#   click_move MOVE
click_move() {
    fx=$((10 - $(echo "$1" | cut -c1))) fy=$(($(printf '%d' "'$(echo "$1" | cut -c2)") - 96))
    tx=$((10 - $(echo "$1" | cut -c3))) ty=$(($(printf '%d' "'$(echo "$1" | cut -c4)") - 96))
    button=1
    case $1 in *+) button=3 ;; esac
    click_square "$fx" "$fy"
    sleep 0.2
    xdotool mousemove $((CANVAS_X + SCALE * (70 + 33 * tx + 16))) \
        $((CANVAS_Y + SCALE * (7 + 41 * ty + 20))) click "$button"
}

finish() {
    rm -rf "$WORKDIR"
    echo "PASS"
    exit 0
}
