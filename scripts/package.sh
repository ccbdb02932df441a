#!/usr/bin/env bash
# Builds the Debian package: build-package/tessel_VERSION_ARCH.deb.
# Install it with: sudo apt install ./build-package/tessel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build-package -DCMAKE_BUILD_TYPE=Release -DTESSEL_TESTS=OFF -DTESSEL_BENCH=OFF
(cd build-package && cpack -G DEB)
