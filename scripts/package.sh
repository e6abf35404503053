#!/usr/bin/env bash
# Builds the Debian package from the normal build: build/velkan-sarn_VERSION_ARCH.deb
# (install it with: sudo apt install ./build/velkan-sarn_VERSION_ARCH.deb).
# The programs in it are stripped; their libraries' packages are found by
# dpkg-shlibdeps. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --package
scripts/build.sh
rm -f build/velkan-sarn_*.deb
(cd build && cpack -G DEB >/dev/null)
ls build/velkan-sarn_*.deb
