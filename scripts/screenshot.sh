#!/usr/bin/env bash
# Takes the README's screenshot: the program on the sample card file, under a
# virtual X server, with settings in a throw-away folder so that the window
# opens at a size that shows the cascade. Writes docs/main-window.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p docs "$config/Tessel"
# A window large enough to show the cascade of back cards above the front one.
printf '[Settings]\nMainWindowPos=0:1:40:40:840:640\n' > "$config/Tessel/tessel-screenshot.conf"
XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1024x768x24" \
  ./build/tessel-screenshot resources/sample.tsl docs/main-window.png
echo "Wrote docs/main-window.png"
