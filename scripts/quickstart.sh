#!/bin/bash
# From a fresh checkout: install the packages, build, and start the desktop
# program on an emulated ORLAX PRO. Without a display, the same main window
# runs headless and reads the emulated unit's status.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/src/gui/orlax-burner --emulate
fi
echo "No display: reading the emulated unit's status headless instead." >&2
exec ./build/orlaxctl --emulate get-status
