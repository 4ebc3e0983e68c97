#!/bin/bash
# Photographs the desktop program under a virtual X server: the main window
# of `orlax-burner --emulate` as it opens (docs/screenshot-main.png), then,
# through orlax-gui-tour, the main window after GET STATUS and the two
# adjustment dialogs (docs/screenshot-status.png, -disk-position.png,
# -set-offsets.png).
#
# Needs a build (cmake --preset default && cmake --build --preset default),
# xvfb-run and ImageMagick's import; a window manager (openbox) if installed,
# for the title bars.
#   scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

# One picture of the whole screen, cut to the windows on it.
if [ "${1:-}" = "--shoot" ]; then
  import -window root png:- | convert png:- -trim +repage "$2"
  exit 0
fi

if [ "${1:-}" = "--inside" ]; then
  build=$2
  wm=
  if command -v openbox >/dev/null; then
    config=$(mktemp --suffix=.xml)
    cat >"$config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme>
    <name>Clearlooks</name>
    <titleLayout>NLC</titleLayout>
    <font place="ActiveWindow"><name>Liberation Sans</name><size>8</size><weight>Bold</weight></font>
    <font place="InactiveWindow"><name>Liberation Sans</name><size>8</size><weight>Bold</weight></font>
  </theme>
</openbox_config>
XML
    openbox --config-file "$config" >/dev/null 2>&1 &
    wm=$!
    sleep 1
  else
    echo "screenshot.sh: no window manager (openbox): the windows will have no title bars" >&2
  fi

  "$build/src/gui/orlax-burner" --emulate &
  burner=$!
  sleep 3
  "$0" --shoot docs/screenshot-main.png
  kill "$burner"
  wait "$burner" 2>/dev/null || true

  "$build/tests/gui/orlax-gui-tour" "$0 --shoot" docs
  [ -n "$wm" ] && kill "$wm"
  exit 0
fi

build=$(realpath "${1:-build}")
for tool in xvfb-run import convert; do
  command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing" >&2; exit 1; }
done
for program in "$build/src/gui/orlax-burner" "$build/tests/gui/orlax-gui-tour"; do
  [ -x "$program" ] || { echo "screenshot.sh: $program is not built" >&2; exit 1; }
done
mkdir -p docs
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" --inside "$build"
ls -l docs/screenshot-*.png
