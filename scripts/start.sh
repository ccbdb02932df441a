#!/usr/bin/env bash
# Installs what is missing, builds Tessel and opens the bundled sample file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
./build/tessel-cli info resources/sample.tsl
./build/tessel-cli show resources/sample.tsl
