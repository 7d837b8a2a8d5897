#!/bin/sh
# Starts the real game in a virtual X server, checks the starting picture on a screenshot
# of the screen, then presses Escape and expects the program to end with status 0.
#
#   start_and_quit.sh GAME CHECKER PICTURE_DIR ARTIFACT_DIR
#
# Exits 77 (skipped) when the X tools are missing.
set -u

. "$(dirname "$0")/e2e_lib.sh"
e2e_begin 1024x768 "$@"

start_game "$ARTIFACTS/start_and_quit.log" "$GAME"
echo "window $WID mapped"
find_canvas "$ARTIFACTS/start.png"
expect_no_popup "a message box stands over the window after start-up"
echo "screenshot in $ARTIFACTS/start.png"
quit_game
finish
