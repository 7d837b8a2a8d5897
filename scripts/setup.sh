#!/usr/bin/env bash
# Installs whatever the build, the game and the tests need and is not on this
# Debian/Ubuntu machine yet. Does nothing when everything is present.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git
  qt6-base-dev qt6-translations-l10n qt6-l10n-tools qt6-charts-dev libqt6opengl6-dev
  libsdl2-dev libsdl2-mixer-dev
  # zubeki-server: Qt's WebSockets and the SQLite its games are kept in
  qt6-websockets-dev libsqlite3-dev
  fonts-ipafont-mincho fonts-ipaexfont-mincho
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick
  desktop-file-utils appstream clang
  # clang's sanitizer and fuzzer runtimes, which clang's packages only recommend; GCC's (libasan,
  # libubsan, libtsan for the asan and tsan presets) come with g++.
  libclang-rt-dev
  dpkg-dev file lintian man-db
  # the check that no function of the layers grows past its length
  python3
  # the browser edition: its core built by emscripten, its page tested in chromium
  emscripten chromium
)
# The page's packages come through npm; a machine with a node of its own keeps it.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq || true
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
