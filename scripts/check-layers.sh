#!/bin/bash
# Fails when a source file includes a header of a layer above its own: the
# layers link only downward. Each folder of src/ (and each scheme folder of
# src/links) may include its own headers and those of the folders listed for
# it here, and nothing else of ours.
set -euo pipefail
cd "$(dirname "$0")/../src"

declare -A allowed=(
  [util]=""
  [protocol]="util"
  [platform]=""
  [res]=""
  [clocks]="platform"
  [device]="protocol platform util"
  [report]="device protocol platform util"
  [operations]="device protocol"
  [dialogs]="operations report device protocol platform res util"
  [app]="dialogs operations report device protocol platform res util"
  [headless]="platform res"
  [links]="protocol platform"
  [links/socket]="links protocol util"
  [links/usb]="links protocol util"
  [cups]="links links/socket links/usb protocol platform util"
  [emulator]="protocol platform clocks util"
  [startup]="emulator cups clocks platform protocol util"
  [emulator_programs]="startup emulator protocol platform util"
  [station]="cups links links/socket links/usb app report protocol platform startup util"
  [cli]="startup app dialogs operations report device protocol platform res headless clocks emulator cups util"
  [gui]="startup app dialogs operations report device protocol platform res clocks emulator cups util"
)

layer_of() {
  case "$1" in
    links/*/*) echo "${1%/*}" ;;
    *) echo "${1%%/*}" ;;
  esac
}

status=0
while IFS= read -r file; do
  layer=$(layer_of "$file")
  if [ -z "${allowed[$layer]+set}" ]; then
    echo "check-layers: $file: the folder $layer has no place among the layers" >&2
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
