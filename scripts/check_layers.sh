#!/usr/bin/env bash
# Fails when an include runs up the layers. Qt-free layers, lowest first:
# cards, stack, output, services, app, cli; Qt layers above all of them:
# services/ui, stack/ui, output/ui, app/ui, cli/ui. A file may include its
# own layer and the layers below it; Qt-free files include no Qt header.
set -euo pipefail
cd "$(dirname "$0")/../src"

rank() {
  case $1 in
    cards) echo 0 ;; stack) echo 1 ;; output) echo 2 ;; services) echo 3 ;;
    app) echo 4 ;; cli) echo 5 ;;
    services/ui) echo 10 ;; stack/ui) echo 11 ;; output/ui) echo 12 ;;
    app/ui) echo 13 ;; cli/ui) echo 14 ;;
    *) echo -1 ;;
  esac
}

# The layer of a path such as stack/ui/body_editor.h: its folder.
layer_of() {
  local dir=${1%/*}
  [[ $dir == "$1" ]] && dir=""
  echo "$dir"
}

bad=0
while IFS= read -r file; do
  layer=$(layer_of "$file")
  own=$(rank "$layer")
  if [[ $own -lt 0 ]]; then
    echo "$file: folder $layer is not a known layer"
    bad=1
    continue
  fi
  while IFS=: read -r line text; do
    if [[ $text =~ \#include\ *\<Q ]]; then
      if [[ $own -lt 10 ]]; then
        echo "src/$file:$line: Qt header in a Qt-free layer: $text"
        bad=1
      fi
      continue
    fi
    [[ $text =~ \#include\ *\"([^\"]+)\" ]] || continue
    target=${BASH_REMATCH[1]}
    [[ $target == */* ]] || continue
    other=$(rank "$(layer_of "$target")")
    [[ $other -lt 0 ]] && continue
    if [[ $other -gt $own ]]; then
      echo "src/$file:$line: $layer includes $target, which is above it"
      bad=1
    fi
  done < <(grep -n '#include' "$file" || true)
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##' | sort)

if [[ $bad -ne 0 ]]; then
  echo "Includes run up the layers (see above)."
  exit 1
fi
echo "Layers: every include runs downwards."
