#!/bin/sh
# Installs the build into a fresh prefix and runs the installed game from another folder
# in a virtual X server, with SDL's disk audio driver: the music written to the disk file
# proves that the game found its sound library and BGM.wav in its own installed folder.
# No warning box may come up, and Escape ends the game with status 0. The installed
# desktop entry and AppStream metadata are validated where the validators are installed.
#
#   install_and_run.sh CMAKE BUILD_DIR CHECKER PICTURE_DIR ARTIFACT_DIR
#
# Exits 77 (skipped) when the X tools are missing.
set -u

if [ "$#" -ne 5 ]; then
    echo "usage: $0 CMAKE BUILD_DIR CHECKER PICTURE_DIR ARTIFACT_DIR" >&2
    exit 2
fi
. "$(dirname "$0")/e2e_lib.sh"
e2e_enter_xvfb 1024x768 "$@"

CMAKE=$1
BUILD=$2
CHECKER=$3
PICTURES=$4
e2e_setup "$5" 1
PREFIX=$WORKDIR/prefix
SHOT=$ARTIFACTS/install_and_run.png
MUSIC=$WORKDIR/music.raw

"$CMAKE" --install "$BUILD" --prefix "$PREFIX" >"$ARTIFACTS/install_and_run-install.log" 2>&1 ||
    fail "cmake --install failed (see $ARTIFACTS/install_and_run-install.log)"

GAME=$PREFIX/bin/zubeki
[ -x "$GAME" ] || fail "no program at $GAME"
# The game's own folder holds the sound library and the six wave files.
LIBRARY=$(find "$PREFIX" -name libZUBEKI.so | head -n 1)
[ -n "$LIBRARY" ] || fail "no libZUBEKI.so under $PREFIX"
OWN=$(dirname "$LIBRARY")
[ "$(basename "$OWN")" = zubeki ] || fail "the sound library is in $OWN, not in a folder zubeki"
for wave in その他.wav 禁止.wav 駒打音.wav 終局.wav 消滅.wav BGM.wav; do
    [ -s "$OWN/$wave" ] || fail "no $wave beside the sound library"
done
DESKTOP=$PREFIX/share/applications/org.zubeki.Zubeki.desktop
METAINFO=$PREFIX/share/metainfo/org.zubeki.Zubeki.metainfo.xml
for file in "$DESKTOP" "$METAINFO" "$PREFIX/share/mime/packages/org.zubeki.Zubeki.xml" \
    "$PREFIX/share/icons/hicolor/256x256/apps/org.zubeki.Zubeki.png"; do
    [ -s "$file" ] || fail "not installed: $file"
done
echo "installed into $PREFIX; the game's folder is $OWN"

if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$DESKTOP" || fail "desktop-file-validate rejects $DESKTOP"
    echo "desktop entry valid"
else
    echo "desktop-file-validate is not installed: desktop entry not validated"
fi
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net "$METAINFO" || fail "appstreamcli rejects $METAINFO"
else
    echo "appstreamcli is not installed: AppStream metadata not validated"
fi

# A folder with nothing of the game's in it.
mkdir "$WORKDIR/elsewhere" || fail "no working folder"
cd "$WORKDIR/elsewhere" || fail "no working folder"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$MUSIC"
start_game "$ARTIFACTS/install_and_run.log" "$GAME"
find_canvas "$SHOT"
expect_no_popup "a message box stands over the installed game's window"

wait_for_music "$MUSIC"

quit_game
finish
