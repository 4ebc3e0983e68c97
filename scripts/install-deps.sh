#!/bin/bash
# Installs the Debian 12 packages that building and testing need.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config procps
  libgtest-dev libgmock-dev nlohmann-json3-dev
  qt6-base-dev libgl-dev xvfb xauth
  cups cups-client libcups2-dev
  fonts-liberation2
  clang libclang-rt-14-dev valgrind
  libbenchmark-dev
  openbox xdotool x11-utils imagemagick
  libusb-1.0-0-dev umockdev libumockdev-dev libssl-dev
  dpkg-dev man-db bash-completion lintian desktop-file-utils
  postgresql libpq-dev
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
