#!/usr/bin/env bash
# Builds the Debian package with CPack in build/package/ (Debian's hardening flags, shared-library
# dependencies from dpkg-shlibdeps) and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh package

BUILD=build/package
# Every hardening feature, bind-now included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$BUILD" -G Ninja \
  -DCMAKE_BUILD_TYPE=None \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DTESSALINE_TESTS=OFF -DTESSALINE_BENCH=OFF -DTESSALINE_FUZZ=OFF >/dev/null
cmake --build "$BUILD" --target tessaline tessaline-cli tessaline_packaging_files
rm -f "$BUILD"/tessaline_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
deb="$(ls "$BUILD"/tessaline_*.deb)"
echo "$deb"
