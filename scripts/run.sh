#!/usr/bin/env bash
# Installs what is missing, builds, and starts the shop on the embedded
# database named by the delivered de.ini (created on first start).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh shop shop-admin
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x900x24" build/dev/bin/shop
fi
exec build/dev/bin/shop
