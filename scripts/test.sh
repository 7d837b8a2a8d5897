#!/usr/bin/env bash
# Set up, build and run the whole test suite (warnings are errors here).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
cmake --workflow --preset ci
