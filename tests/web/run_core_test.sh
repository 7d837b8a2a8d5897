#!/bin/sh
# Builds the WebAssembly core with em++ into BUILD and runs its Node test against ZUBEKI_CLI;
# then builds the page over it (its npm packages as the lockfile pins them) and plays it in
# Debian's chromium; given a zubeki-server, two pages play each other online through it.
#   run_core_test.sh SOURCE BUILD ZUBEKI_CLI WAVEGEN [ZUBEKI_SERVER]
set -eu
source=$1 build=$2 cli=$3 wavegen=$4 server=${5:-}
# Debian's emscripten finds its acorn only on Debian's module path when node is not Debian's.
NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
export NODE_PATH
# em++ goes through ccache where there is one: a fresh build tree then takes seconds.
launcher=
command -v ccache >/dev/null && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cd "$source"
cmake --preset web -B "$build" -DZUBEKI_NATIVE_CLI="$cli" -DZUBEKI_NATIVE_WAVEGEN="$wavegen" $launcher >/dev/null
cmake --build "$build" --parallel 2
ctest --test-dir "$build" --output-on-failure
cd web/page
npm ci --no-audit --no-fund --silent
ZUBEKI_WEB_BUILD="$build" npm run build --silent
cd "$source"
ZUBEKI_WAVEGEN="$wavegen" node --no-experimental-fetch tests/web/page_test.mjs "$build/site"
if [ -n "$server" ]; then
    node --no-experimental-fetch tests/web/online_test.mjs "$build/site" "$server"
fi
