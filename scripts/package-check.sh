#!/bin/bash
# Builds the Debian packages, orlax-tools and orlax-emulator, from a plain
# Release build with the tests on (no -Werror, as a packager builds) after
# running the tests; checks what each holds, lintian and
# desktop-file-validate, the manual pages; installs both with their
# dependencies, runs the installed programs and the bash completion, and
# removes them again. Stops at the first failure with a message naming it.
#
# usage: scripts/package-check.sh [BUILD_DIR]    (default build-release)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-release}
packages=(orlax-tools orlax-emulator)
programs=(orlaxctl orlax-burner orlax-station orlax-emulator)
# Each program and the package that holds it.
declare -A package_of=([orlaxctl]=orlax-tools [orlax-burner]=orlax-tools [orlax-station]=orlax-tools [orlax-emulator]=orlax-emulator)

fail() {
  echo "package-check: FAILED: $*" >&2
  exit 1
}
step() { echo "package-check: $*"; }
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# --- build -----------------------------------------------------------------
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORLAX_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j2
# The tests as a packager runs them; the CUPS tests need a running cupsd.
pgrep -x cupsd >/dev/null || as_root cupsd
ctest --test-dir "$build" -j2 --output-on-failure >"$build/package-check-tests.log" 2>&1 ||
  fail "the tests failed in the Release build: $(grep -A30 'tests FAILED' "$build/package-check-tests.log")"
step "the tests pass in the Release build"
rm -f "$build"/orlax-*.deb
cmake --build "$build" --target package -j2
declare -A deb_of=()
for package in "${packages[@]}"; do
  debs=("$build"/"$package"_*.deb)
  [ -f "${debs[0]}" ] && [ ${#debs[@]} -eq 1 ] || fail "expected one $package .deb in $build"
  deb_of[$package]=$(realpath "${debs[0]}")
  step "built ${deb_of[$package]}"
done
version=$(dpkg-deb -f "${deb_of[orlax-tools]}" Version)
[ "$(dpkg-deb -f "${deb_of[orlax-emulator]}" Version)" = "$version" ] || fail "the two packages' versions differ"

# --- what each package holds -----------------------------------------------
declare -A expected=(
  [orlax-tools]="/usr/bin/orlaxctl /usr/bin/orlax-burner /usr/bin/orlax-station
    /usr/share/man/man1/orlax-station.1.gz /usr/share/bash-completion/completions/orlax-station
    /usr/share/applications/orlax-burner.desktop
    /usr/share/icons/hicolor/32x32/apps/orlax-burner.png
    /usr/share/man/man1/orlaxctl.1.gz /usr/share/man/man1/orlax-burner.1.gz
    /usr/share/bash-completion/completions/orlaxctl
    /usr/lib/udev/rules.d/70-orlax-usb.rules
    /usr/share/doc/orlax-tools/copyright /usr/share/doc/orlax-tools/changelog.gz
    /usr/share/orlax-tools/sql/line_record_schema.sql"
  [orlax-emulator]="/usr/bin/orlax-emulator /usr/share/man/man1/orlax-emulator.1.gz
    /usr/share/doc/orlax-emulator/copyright /usr/share/doc/orlax-emulator/changelog.gz"
)
# dpkg-shlibdeps found the libraries the programs link; only the emulator
# needs umockdev's.
declare -A libraries=(
  [orlax-tools]="libc6 libstdc++6 libcups2 libqt6widgets6 libusb-1.0-0 libpq5"
  [orlax-emulator]="libc6 libstdc++6 libumockdev0 libssl3"
)
for package in "${packages[@]}"; do
  deb=${deb_of[$package]}
  contents=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' | grep -v '/$')
  for file in ${expected[$package]}; do
    grep -qx -- "$file" <<<"$contents" || fail "$package lacks $file"
  done
  for file in $contents; do
    case " ${expected[$package]//$'\n'/ } " in *" $file "*) ;; *) fail "$package holds $file, which is not its" ;; esac
  done
  depends=$(dpkg-deb -f "$deb" Depends)
  step "$package Depends: $depends"
  for library in ${libraries[$package]}; do
    grep -q "\b$library\b" <<<"$depends" || fail "$package's Depends lacks $library: $depends"
  done
done
grep -q umockdev <<<"$(dpkg-deb -f "${deb_of[orlax-tools]}" Depends)" && fail "orlax-tools depends on umockdev"

# --- lintian and the desktop entry ----------------------------------------
for package in "${packages[@]}"; do
  findings=$(lintian --fail-on error,warning "${deb_of[$package]}" 2>&1) ||
    fail "lintian on $package:"$'\n'"$findings"
done
desktop-file-validate desktop/orlax-burner.desktop || fail "desktop-file-validate on orlax-burner.desktop"
step "lintian finds no error or warning in either package; the desktop entry validates"

# --- manual pages, as shipped ----------------------------------------------
unpacked=$(mktemp -d)
cleanup() { rm -rf "$unpacked"; }
trap cleanup EXIT
for package in "${packages[@]}"; do dpkg-deb -x "${deb_of[$package]}" "$unpacked"; done
for name in "${programs[@]}"; do
  page=$unpacked/usr/share/man/man1/$name.1.gz
  gzip -t "$page" || fail "$name.1.gz is not gzip data"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man --warnings on $name(1):"$'\n'"$warnings"
  text=$(LC_ALL=C MANWIDTH=80 man -l "$page" 2>/dev/null | col -b)
  grep -q "orlax-tools $version" <<<"$text" || fail "$name(1) does not name version $version"
  # Every option the program's usage names is in its page (orlax-emulator
  # has a second usage for its USB form).
  usage=$(QT_QPA_PLATFORM=offscreen "$unpacked/usr/bin/$name" --help) || fail "$name --help failed"
  if [ "$name" = orlax-emulator ]; then
    usage+=$(QT_QPA_PLATFORM=offscreen "$unpacked/usr/bin/$name" --usb --help) || fail "$name --usb --help failed"
  fi
  for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$usage" | sort -u); do
    grep -q -- "$option" <<<"$text" || fail "$name(1) does not document $option"
  done
done
step "manual pages render without warnings and document every option of --help"

# --- installed -------------------------------------------------------------
for package in "${packages[@]}"; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    fail "$package is installed already; remove it first (dpkg -r $package)"
  fi
done
remove() {
  as_root dpkg -r "${packages[@]}" >/dev/null || echo "package-check: could not remove ${packages[*]}" >&2
  cleanup
}
trap remove EXIT
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${deb_of[orlax-tools]}" "${deb_of[orlax-emulator]}" >/dev/null
step "installed ${packages[*]} $version"

work=$(mktemp -d -p "$unpacked")
for name in "${programs[@]}"; do
  [ "$(command -v "$name")" = "/usr/bin/$name" ] || fail "$name is not /usr/bin/$name on PATH"
  missing=$(ldd "/usr/bin/$name" | grep 'not found' || true)
  [ -z "$missing" ] || fail "/usr/bin/$name: libraries not found: $missing"
done
for name in "${programs[@]}"; do
  printed=$(QT_QPA_PLATFORM=offscreen "/usr/bin/$name" --version) || fail "$name --version failed"
  [ "$printed" = "$name $version" ] || fail "$name --version printed '$printed', not '$name $version'"
done

# The installed orlaxctl reads an emulated unit's status and prints its
# report, with the firmware version the scenario gave the unit.
echo '{"record": {"firmwareVersion": "4.56", "systemStatus": "I"}}' >"$work/unit.json"
report=$(/usr/bin/orlaxctl --emulate="$work/unit.json" --fast get-status) ||
  fail "orlaxctl --emulate --fast get-status failed"
grep -q "FIRMWARE VERSION #: 4.56" <<<"$report" || fail "no status report: $report"
grep -q "SYSTEM STATUS: I" <<<"$report" || fail "the report lacks the system status: $report"
/usr/bin/orlaxctl --emulate --fast get-status >/dev/null || fail "orlaxctl --emulate --fast get-status failed"
step "orlaxctl prints the emulated unit's report"

# --- bash completion -------------------------------------------------------
completion=/usr/share/bash-completion/completions/orlaxctl
bash -c "source $completion" || fail "$completion does not load"
# Completes WORD... as bash would with the cursor at the end of the last word.
complete_words() {
  bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    _orlaxctl orlaxctl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
    printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
}
# Every option of orlaxctl --help is offered, and every option offered is one
# orlaxctl takes.
offered=$(complete_words orlaxctl --)
for option in $(/usr/bin/orlaxctl --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -qx -- "$option" <<<"$offered" || fail "completion does not offer $option"
done
for option in $offered; do
  case $option in
    --emulate=) args=(--emulate="$work/unit.json") ;;
    --journal) args=(--emulate --journal "$work/journal") ;;
    --data-root) args=(--data-root "$work") ;;
    --fast) args=(--emulate --fast) ;;
    --record-db) args=(--record-db "host=/nonexistent dbname=none") ;;
    *) args=("$option") ;;
  esac
  status=0
  /usr/bin/orlaxctl "${args[@]}" --emulate list-queues >/dev/null 2>&1 || status=$?
  [ "$status" -eq 0 ] || fail "completion offers $option, which orlaxctl does not take (exit $status)"
done
# Every action offered is one orlaxctl takes (exit 0 or 1, never 2).
for action in $(complete_words orlaxctl ""); do
  case $action in
    queue) args=(queue "Lumetra PRO") ;;
    click) args=(click 1012) ;;
    focus) args=(focus 1001) ;;
    type) args=(type 1001 "Lumetra PRO") ;;
    ok | cancel) args=(disk-position "$action") ;;
    disk-position | set-offsets) args=("$action" cancel) ;;
    record-sync) args=(--record-db "host=/nonexistent dbname=none" record-sync) ;;
    *) args=("$action") ;;
  esac
  status=0
  /usr/bin/orlaxctl --emulate --fast --data-root "$work" "${args[@]}" >/dev/null 2>&1 || status=$?
  [ "$status" -le 1 ] || fail "completion offers '$action', which orlaxctl does not take (exit $status)"
done
# After `queue`, the queue names of the emulated spooler, spaces and all.
echo '{"queues": ["Line 3", "orlax1"]}' >"$work/queues.json"
queues=$(complete_words /usr/bin/orlaxctl --emulate="$work/queues.json" queue Li)
[ "$queues" = "Line 3" ] || fail "completion after 'queue Li' gave '$queues', not 'Line 3'"
step "bash completion loads and offers what orlaxctl takes"

# --- removed ---------------------------------------------------------------
trap cleanup EXIT
as_root dpkg -r "${packages[@]}" >/dev/null
for name in "${programs[@]}"; do
  [ ! -e "/usr/bin/$name" ] || fail "/usr/bin/$name is left after dpkg -r ${package_of[$name]}"
done
[ ! -e "$completion" ] || fail "$completion is left after dpkg -r"
step "removed ${packages[*]}; all checks passed"
