#!/usr/bin/env bash
# Fails when an include runs up the layers, names a file by a relative path,
# or brings a Qt header into a Qt-free layer. The layers and their order are
# the list in README.md (section Layout, the block after "<!-- layers -->"):
# a file may include its own layer and the layers listed before it, less
# those its line names after "except"; the layers named */ui are Qt's.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

declare -A rank except
n=0
while read -r layer rest; do
  rank[$layer]=$n
  except[$layer]=" ${rest#except} "
  n=$((n + 1))
done < <(sed -n '/^<!-- layers -->$/,/^```$/p' "$root/README.md" | sed '1,2d;$d' |
  sed 's/#.*//' | awk 'NF')
if [[ $n -eq 0 ]]; then
  echo "README.md holds no layer list"
  exit 1
fi

qt_layer() { [[ $1 == */ui ]]; }

# The layer of a path such as stack/ui/body_editor.h: its folder.
layer_of() {
  local dir=${1%/*}
  [[ $dir == "$1" ]] && dir=""
  echo "$dir"
}

cd "$root/src"
bad=0
while IFS= read -r file; do
  layer=$(layer_of "$file")
  if [[ -z ${rank[$layer]+x} ]]; then
    echo "src/$file: folder $layer is not a layer of the list"
    bad=1
    continue
  fi
  own=${rank[$layer]}
  while IFS=: read -r line text; do
    if [[ $text =~ \#include\ *\<Q ]]; then
      if ! qt_layer "$layer"; then
        echo "src/$file:$line: Qt header in a Qt-free layer: $text"
        bad=1
      fi
      continue
    fi
    [[ $text =~ \#include\ *\"([^\"]+)\" ]] || continue
    target=${BASH_REMATCH[1]}
    if [[ $target == ./* || $target == */./* || $target == ../* || $target == */../* ]]; then
      echo "src/$file:$line: relative include $target: name it from src/"
      bad=1
      continue
    fi
    [[ $target == */* ]] || continue
    other=$(layer_of "$target")
    [[ -z ${rank[$other]+x} ]] && continue
    if [[ ${rank[$other]} -gt $own ]]; then
      echo "src/$file:$line: $layer includes $target, which is above it"
      bad=1
    elif [[ ${except[$layer]} == *" $other "* ]]; then
      echo "src/$file:$line: $layer may not include $target ($other)"
      bad=1
    fi
  done < <(grep -n '#include' "$file" || true)
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##' | sort)

if [[ $bad -ne 0 ]]; then
  echo "Includes run against the layers (see above)."
  exit 1
fi
echo "Layers: every include runs downwards."
