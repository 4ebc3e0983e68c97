# shellcheck shell=bash
# A cupsd of one's own for the USB test bed (orlax-emulator --usb), sourced
# by the USB end-to-end test and the unit cycle benchmark. cupsd passes no
# LD_PRELOAD to its backends, so its backend folder holds CUPS's usb backend
# behind a line that puts the preload back. Its data folder is its own too
# (CUPS_DATADIR for orlax-station), so that the usb quirk orlax-station
# writes lands there.
#
#   test_bed_cupsd DIR        makes DIR (DIR's parent must be 0755)
#   test_bed_station DIR      prints shell lines that start it in the test bed
#                             with the client variables set; test_bed_stop
#                             prints the lines that stop it

test_bed_cupsd() {
  local private=$1 d b
  local backend=/usr/lib/cups/backend/usb
  mkdir -p "$private"/{spool,cache,state,tmp,log,bin/backend,data/usb}
  for d in /usr/lib/cups/*; do [ "$(basename "$d")" = backend ] || ln -s "$d" "$private/bin/"; done
  for b in /usr/lib/cups/backend/*; do [ "$(basename "$b")" = usb ] || ln -s "$b" "$private/bin/backend/"; done
  printf '#!/bin/sh\nLD_PRELOAD=libumockdev-preload.so.0 exec %s "$@"\n' "$backend" >"$private/bin/backend/usb"
  chmod 0700 "$private/bin/backend/usb"
  for d in /usr/share/cups/*; do [ "$(basename "$d")" = usb ] || ln -s "$d" "$private/data/"; done
  ln -s /usr/share/cups/usb/* "$private/data/usb/"
  chmod 755 "$private" "$private/bin" "$private/bin/backend"
  cat >"$private/cupsd.conf" <<CONF
Listen $private/cups.sock
LogLevel debug
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
  cat >"$private/cups-files.conf" <<CONF
ServerRoot $private
RequestRoot $private/spool
CacheDir $private/cache
StateDir $private/state
TempDir $private/tmp
ErrorLog $private/log/error_log
AccessLog $private/log/access_log
PageLog $private/log/page_log
ServerBin $private/bin
DataDir $private/data
PassEnv UMOCKDEV_DIR
CONF
}

test_bed_station() {
  cat <<SH
cupsd -f -c '$1/cupsd.conf' -s '$1/cups-files.conf' & pid=\$!
export CUPS_SERVER='$1/cups.sock' CUPS_DATADIR='$1/data'
for i in \$(seq 100); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.1; done
lpadmin -x unit 2>/dev/null
SH
}

test_bed_stop() { echo "kill \$pid; wait \$pid"; }
