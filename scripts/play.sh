#!/usr/bin/env bash
# Set up, build and start the game.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset dev
cmake --build --preset dev --target zubeki
exec build/dev/bin/zubeki "$@"
