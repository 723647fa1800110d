#!/usr/bin/env bash
# Configures and builds with a CMake preset (default: dev). Extra arguments
# are build targets.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${SHOP_PRESET:-dev}"
[ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -- "$@"
