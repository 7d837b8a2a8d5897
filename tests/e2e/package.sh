#!/bin/sh
# Builds the Debian package from the source tree, checks it with lintian (no errors), unpacks
# it into a temporary root with dpkg-deb -x and runs the unpacked game from an empty folder in
# a virtual X server: its starting picture must stand, and the music written by SDL's disk
# audio driver proves it found its sound library and waves in its own folder. Then the
# unpacked zubeki-cli writes a record and replays it.
#
#   package.sh CMAKE SOURCE_DIR CHECKER PICTURE_DIR ARTIFACT_DIR
#
# Exits 77 (skipped) when the X tools or the Debian packaging tools are missing.
set -u

if [ "$#" -ne 5 ]; then
    echo "usage: $0 CMAKE SOURCE_DIR CHECKER PICTURE_DIR ARTIFACT_DIR" >&2
    exit 2
fi
for tool in dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed: skipped"; exit 77; }
done
. "$(dirname "$0")/e2e_lib.sh"
e2e_enter_xvfb 1024x768 "$@"

CMAKE=$1
SOURCE=$2
CHECKER=$3
PICTURES=$4
e2e_setup "$5" 1
ROOT=$WORKDIR/root
SHOT=$ARTIFACTS/package.png
MUSIC=$WORKDIR/music.raw
LOG=$ARTIFACTS/package-build.log

(cd "$SOURCE" && "$CMAKE" --workflow --preset deb) >"$LOG" 2>&1 ||
    fail "the package could not be built (see $LOG)"
DEB=$(ls -t "$SOURCE"/build/deb/zubeki_*.deb 2>/dev/null | head -n 1)
[ -s "$DEB" ] || fail "no zubeki_*.deb in $SOURCE/build/deb"
echo "package: $DEB"

lintian --tag-display-limit 0 "$DEB" >"$ARTIFACTS/package-lintian.txt" 2>&1
grep -E '^E: ' "$ARTIFACTS/package-lintian.txt" && fail "lintian reports errors"
echo "lintian: $(grep -c '^W: ' "$ARTIFACTS/package-lintian.txt") warnings, no errors"

dpkg-deb -x "$DEB" "$ROOT" || fail "dpkg-deb -x failed"
GAME=$ROOT/usr/games/zubeki
CLI=$ROOT/usr/games/zubeki-cli
ENGINE=$ROOT/usr/games/zubeki-engine
[ -x "$GAME" ] && [ -x "$CLI" ] && [ -x "$ENGINE" ] || fail "the programs are not in /usr/games"
for page in zubeki zubeki-cli zubeki-engine; do
    [ -s "$ROOT/usr/share/man/man6/$page.6.gz" ] || fail "no manual page $page(6)"
done
# The server comes where Qt WebSockets was there to build it, with its page and its example unit.
SERVER=$ROOT/usr/games/zubeki-server
if [ -e "$SERVER" ]; then
    [ -s "$ROOT/usr/share/man/man6/zubeki-server.6.gz" ] || fail "no manual page zubeki-server(6)"
    grep -q '^ExecStart=/usr/games/zubeki-server ' \
        "$ROOT/usr/share/doc/zubeki/examples/zubeki-server.service" ||
        fail "no example unit for zubeki-server, or one that starts another program"
    "$SERVER" --version | grep -q '^zubeki-server ' || fail "the unpacked zubeki-server did not start"
fi

mkdir "$WORKDIR/elsewhere" && cd "$WORKDIR/elsewhere" || fail "no working folder"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$MUSIC"
start_game "$ARTIFACTS/package.log" "$GAME"
find_canvas "$SHOT"
expect_no_popup "a message box stands over the unpacked game's window"
wait_for_music "$MUSIC"
quit_game

"$CLI" selfplay --games 1 --seed 5 --records "$WORKDIR/records" >/dev/null ||
    fail "the unpacked zubeki-cli could not play a game"
"$CLI" replay "$WORKDIR/records/game-0001.棋譜" >"$ARTIFACTS/package-replay.json" ||
    fail "the unpacked zubeki-cli could not replay its record"
echo "replayed: $(head -c 60 "$ARTIFACTS/package-replay.json")..."
printf 'zubeki\nposition startpos\ngo depth 2\nisready\nquit\n' | "$ENGINE" >"$ARTIFACTS/package-engine.txt" ||
    fail "the unpacked zubeki-engine failed"
grep -q '^zubekiok$' "$ARTIFACTS/package-engine.txt" && grep -q '^bestmove ' "$ARTIFACTS/package-engine.txt" ||
    fail "the unpacked zubeki-engine did not answer the protocol"
finish
