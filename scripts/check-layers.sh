#!/bin/bash
# Fails when a source file includes a header of a layer above its own: the
# layers link only downward. Each folder of src/ (and src/emulator/daemon,
# src/emulator/usb) may include its own headers and those of the folders
# listed for it here, and nothing else of ours.
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
  [operations]="report device protocol platform res util"
  [dialogs]="operations report device protocol platform res util"
  [app]="dialogs operations report device protocol platform res util"
  [headless]="platform res"
  [usb]="protocol platform util"
  [spooler]="usb protocol platform util"
  [emulator]="protocol platform clocks util"
  [emulator/usb]="startup emulator usb protocol platform util"
  [startup]="emulator spooler clocks platform protocol util"
  [emulator/daemon]="startup emulator emulator/usb usb spooler protocol platform clocks util"
  [cli]="startup app dialogs operations report device protocol platform res headless clocks emulator spooler usb util"
  [gui]="startup app dialogs operations report device protocol platform res clocks emulator spooler usb util"
)

layer_of() {
  case "$1" in
    emulator/daemon/*) echo emulator/daemon ;;
    emulator/usb/*) echo emulator/usb ;;
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
