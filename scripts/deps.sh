#!/usr/bin/env bash
# Installs the Debian packages Tessaline builds and tests with; quiet when all are present.
#   scripts/deps.sh           the build and the tests
#   scripts/deps.sh package   also the tools that build and check the Debian package
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev fonts-arphic-uming fonts-cantarell
  libpng-dev zlib1g-dev
  libusb-1.0-0-dev umockdev libumockdev-dev
  qt6-base-dev qt6-svg-dev libgl-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  clang libclang-rt-14-dev
)
if [ "${1:-}" = package ]; then
  PACKAGES+=(dpkg-dev file lintian desktop-file-utils appstream)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q >/dev/null
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
