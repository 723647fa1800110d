#!/usr/bin/env bash
# Configures and builds with a CMake preset (default: dev). Extra arguments
# are build targets. Configuring every time is quick and picks up folders
# that were added since the last build.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${SHOP_PRESET:-dev}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -- "$@"
