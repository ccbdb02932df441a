#!/usr/bin/env bash
# Installs what is missing, builds Tessel and opens the bundled sample file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec ./build/tessel resources/sample.tsl
