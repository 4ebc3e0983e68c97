#!/bin/bash
# From a fresh checkout: install the packages, build, and read the status of
# an emulated ORLAX PRO.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
./build/orlaxctl --emulate get-status
