#!/usr/bin/env bash
# Installs the Debian packages the shop needs to build, run and test.
# Idempotent and quiet when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build ccache g++ pkg-config
  qt6-base-dev libgl-dev libqt6sql6-sqlite libqt6sql6-psql
  qt6-charts-dev libqt6opengl6-dev
  libxlsxwriter-dev libsodium-dev fonts-noto-cjk fonts-liberation2 qt6-translations-l10n
  libgtest-dev libbenchmark-dev libsqlite3-dev libpq-dev libzip-dev qt6-l10n-tools python3
  clang libclang-rt-14-dev
  postgresql
  mdbtools-dev mdbtools
  xvfb xauth imagemagick poppler-utils unzip openssl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
