#!/bin/sh
# Starts the real game in a virtual X server in Japanese and then in English, checks the
# starting picture on a screenshot of the screen each time, then presses Escape and expects
# the program to end with status 0. The two screenshots are the README's (docs/).
#
#   start_and_quit.sh GAME CHECKER PICTURE_DIR ARTIFACT_DIR
#
# Exits 77 (skipped) when the X tools are missing.
set -u

. "$(dirname "$0")/e2e_lib.sh"
e2e_begin 1024x768 "$@"

# The menu bar's strip of a screenshot, as text pixels.
menu_bar() {
    convert-im6.q16 "$1" -crop "$((300 * SCALE))x$((18 * SCALE))+0+0" +repage txt:- | tail -n +2
}

for lang in ja en; do
    shot=$ARTIFACTS/start.png
    [ "$lang" = ja ] || shot=$ARTIFACTS/start-$lang.png
    start_game "$ARTIFACTS/start_and_quit-$lang.log" "$GAME" --lang "$lang"
    echo "window $WID mapped ($lang)"
    find_canvas "$shot"
    expect_no_popup "a message box stands over the window after start-up ($lang)"
    echo "screenshot in $shot"
    quit_game
done
# The board is the same in both languages; the menus are not.
[ "$(menu_bar "$ARTIFACTS/start.png")" != "$(menu_bar "$ARTIFACTS/start-en.png")" ] ||
    fail "the English menu bar looks like the Japanese one"
finish
