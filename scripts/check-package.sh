#!/usr/bin/env bash
# Checks the package that scripts/package.sh made: Debian's own tools on its
# menu entry, AppStream data and the package as a whole, then the programs run
# from the package unpacked into a throw-away folder (as installed, but under
# another root), away from the source and build trees.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --package

debs=(build/velkan-sarn_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-package: run scripts/package.sh first" >&2; exit 1; }
deb="$PWD/${debs[0]}"
project_version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
sources="$PWD"

scratch=$(mktemp -d)
cleanup() {
  for pid in "${sim_pid:-}" "${xvfb_pid:-}"; do
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  done
  rm -rf "$scratch"
}
trap cleanup EXIT
dpkg -x "$deb" "$scratch/root"
usr="$scratch/root/usr"
mkdir -p "$scratch/work" "$scratch/data" "$scratch/config" "$scratch/runtime"
chmod 700 "$scratch/runtime"
# The programs run from a folder that holds nothing of theirs, and keep their
# per-user data (service history, settings) in the scratch folder.
cd "$scratch/work"
export XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime"

passed=0 failed=0
# check NAME COMMAND...: the command's output is shown only when it fails.
check() {
  local name=$1
  shift
  if "$@" >"$scratch/output" 2>&1; then
    echo "ok    $name"
    passed=$((passed + 1))
  else
    echo "FAIL  $name"
    sed 's/^/      /' "$scratch/output"
    failed=$((failed + 1))
  fi
}

silent_validation() {
  local output
  output=$(desktop-file-validate "$1") && [ -z "$output" ] || { echo "$output"; return 1; }
}

# The package's version and each program's are the project's.
versions_match() {
  local package
  package=$(dpkg-deb -f "$deb" Version)
  echo "project $project_version, package $package"
  [ "$package" = "$project_version" ] || return 1
  for program in velkan-cli velkan-sim; do
    local printed
    printed=$("$usr/bin/$program" --version)
    echo "$program: $printed"
    [ "$printed" = "$program $project_version" ] || return 1
  done
}

# diff reads two files with the installed program: equal, then one value apart.
diff_files() {
  cp "$sources/tests/data/rich_config.qcf" first.qcf
  sed 's/^NOMBRE=Deposito Sur/NOMBRE=Deposito Norte/' first.qcf >second.qcf
  "$usr/bin/velkan-cli" diff first.qcf first.qcf || return 1
  local status=0 output
  output=$("$usr/bin/velkan-cli" diff first.qcf second.qcf) || status=$?
  echo "$output"
  [ "$status" -eq 1 ] && [ "$output" = $'GENERAL\tNOMBRE\tDeposito Sur\tDeposito Norte' ]
}

# The installed velkan-cli reads the identity of the installed velkan-sim.
sim_info() {
  "$usr/bin/velkan-sim" >sim.txt &
  sim_pid=$!
  local port=""
  for _ in $(seq 100); do
    port=$(head -n1 sim.txt)
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "velkan-sim printed no device"; return 1; }
  local status=0
  "$usr/bin/velkan-cli" --port "$port" info --json || status=$?
  kill "$sim_pid"
  wait "$sim_pid" || true
  sim_pid=""
  return $status
}

# A virtual display of its own, in $display: the server picks a free number and
# tells it (no race with other virtual displays on the machine).
start_display() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
  done
  [ -s "$scratch/display" ] || { echo "Xvfb did not start"; return 1; }
  display=":$(cat "$scratch/display")"
}

# The first start asks for the language only when the program has found the
# language table, which here is only in the installed data folder (neither the
# working directory nor bin/ has one); without it, the main window opens.
finds_language_table() {
  [ ! -e Lang.txt ] && [ ! -e "$usr/bin/Lang.txt" ] || { echo "a stray Lang.txt"; return 1; }
  start_display || return 1
  DISPLAY=$display QT_QPA_PLATFORM=xcb "$usr/bin/velkan-sarn" &
  local gui=$! found=1
  for _ in $(seq 300); do
    local windows
    windows=$(DISPLAY=$display xwininfo -root -tree)
    if grep -q '"Select Language"' <<<"$windows"; then found=0; break; fi
    if grep -q '"Orvane Velkan Sarn' <<<"$windows"; then echo "the program started without asking for the language"; break; fi
    kill -0 $gui 2>/dev/null || { echo "the program ended"; break; }
    sleep 0.1
  done
  kill $gui "$xvfb_pid" 2>/dev/null
  wait $gui "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
  return $found
}

installed() {
  local missing=0
  for file in "$@"; do
    [ -s "$usr/$file" ] || { echo "missing: $file"; missing=1; }
  done
  return $missing
}

check "menu entry (desktop-file-validate)" silent_validation "$usr/share/applications/com.orvane.velkansarn.desktop"
check "AppStream data (appstreamcli validate)" appstreamcli validate --no-net "$usr/share/metainfo/com.orvane.velkansarn.metainfo.xml"
check "package has no lintian error" lintian --fail-on error "$deb"
echo "      lintian warnings: $(grep -c "^W:" "$scratch/output" || true)"
sed -n "s/^W:/      W:/p" "$scratch/output"
check "versions are the project's ($project_version)" versions_match
check "velkan-cli diff on two files" diff_files
check "velkan-cli info from velkan-sim" sim_info
check "language table found from another folder" finds_language_table
check "manual pages and icons installed" installed share/man/man1/{velkan-sarn,velkan-cli,velkan-sim}.1.gz \
  share/icons/hicolor/{scalable/apps/velkan-sarn.svg,48x48/apps/velkan-sarn.png}

echo "package checks: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
