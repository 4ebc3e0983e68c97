#!/bin/bash
# Fails when a source file includes a header of a layer above its own: the
# layers link only downward. Each folder of src/ may include its own headers
# and those of the folders it reaches through the folders it uses, as
# cmake/layers.cmake lists them, and nothing else of ours. Needs no build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

layers=$(cmake -DWHAT=includes -P "$root/cmake/print_layers.cmake" 2>&1) || {
  echo "check-layers: cmake/layers.cmake cannot be read:" >&2
  echo "$layers" >&2
  exit 1
}
declare -A allowed=()
while IFS=: read -r folder below; do
  allowed[$folder]=$below
done <<<"$layers"

# The folder a file belongs to: the deepest folder with a row.
layer_of() {
  local folder=${1%/*}
  while [[ $folder == */* ]] && [ -z "${allowed[$folder]+set}" ]; do
    folder=${folder%/*}
  done
  echo "$folder"
}

cd "$root/src"
status=0
while IFS= read -r file; do
  layer=${file%/*}
  if [ -z "${allowed[$layer]+set}" ]; then
    echo "check-layers: $file: the folder $layer has no row in cmake/layers.cmake" >&2
    status=1
    continue
  fi
  while IFS= read -r included; do
    target=$(layer_of "$included")
    [ "$target" = "$layer" ] && continue
    case " ${allowed[$layer]} " in *" $target "*) continue ;; esac
    echo "check-layers: $file includes \"$included\": $layer may not include $target" >&2
    status=1
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file" | grep / || true)
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

[ "$status" -eq 0 ] && echo "check-layers: every include goes downward"
exit "$status"
