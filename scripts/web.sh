#!/usr/bin/env bash
# Builds the browser edition and serves it on http://127.0.0.1:8080/ (--port P). Installs what is
# missing from Debian's packages first: emscripten for the core, Node and npm for the page and its
# tests, chromium for the browser tests. Nothing is downloaded but Debian's and npm's packages.
#   scripts/web.sh [--port P] [--build-only]
# --build-only builds the core and the page, runs their tests (Node, chromium), serves nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

port=8080
serve=1
while [ $# -gt 0 ]; do
  case "$1" in
    --port) port=${2:?--port needs a number}; shift 2 ;;
    --port=*) port=${1#--port=}; shift ;;
    --build-only) serve=0; shift ;;
    -h|--help) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "web.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

# The machine's node may come from elsewhere than Debian (with its own npm); take Debian's only
# where there is none.
packages=(emscripten chromium g++ cmake ninja-build python3)
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq || true
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Debian's emscripten finds its acorn only on Debian's module path when node is not Debian's.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

# The native zubeki-cli (no Qt) that the core's tests compare the WebAssembly build with, and the
# generator of the game's wave files (no Qt either), whose bytes the page plays.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build/web-native -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUBEKI_GUI=OFF \
  -DZUBEKI_BUILD_TESTS=OFF -DZUBEKI_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build/web-native --target zubeki-cli wavegen
cmake --preset web -DZUBEKI_NATIVE_CLI="$PWD/build/web-native/bin/zubeki-cli" \
  -DZUBEKI_NATIVE_WAVEGEN="$PWD/build/web-native/bin/wavegen" "${launcher[@]}" >/dev/null
cmake --build --preset web
ctest --preset web

# The page: its packages exactly as the lockfile pins them, then the build beside the core.
(cd web/page && npm ci --no-audit --no-fund && ZUBEKI_WEB_BUILD="$OLDPWD/build/web" npm run build)
# The page in Debian's chromium, driven by puppeteer-core from the lockfile.
ZUBEKI_WAVEGEN=build/web-native/bin/wavegen node --no-experimental-fetch tests/web/page_test.mjs build/web/site

if [ "$serve" -eq 0 ]; then
  exit 0
fi
site=build/web/site
echo "ZUBEKI in the browser: http://127.0.0.1:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
