#!/usr/bin/env bash
# Installs the Debian 12 packages Tessel needs that are missing.
# With --update, always refreshes the package lists and installs (for CI).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev
  clang libclang-rt-14-dev
  xvfb xauth fonts-dejavu-core openbox xdotool
  glabels-data poppler-utils sqlite3 python3
  python3-vobject  # a real vCard reader and writer for the vCard tests
  xdg-utils  # xdg-email: the hand-over to the mail program
  # the installation checks (scripts/check_install.sh) and the package's needs
  desktop-file-utils appstream shared-mime-info libxml2-utils libglib2.0-bin man-db dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [[ ${#missing[@]} -eq 0 && "${1:-}" != "--update" ]]; then
  exit 0
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]:-(refreshing all)}"
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
