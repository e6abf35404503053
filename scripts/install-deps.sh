#!/usr/bin/env bash
# Installs what building, running and testing need on Debian, when missing.
# --fuzz adds the fuzz targets' compiler, --package what making and checking
# the Debian package needs (scripts/package.sh, scripts/check-package.sh).
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-serialport-dev qt6-charts-dev qt6-translations-l10n libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb fonts-dejavu-core
  unrtf
  libgit2-dev
  # The tests check the history repository with the git program itself.
  git
  help2man librsvg2-bin
)
for flag in "$@"; do
  case "$flag" in
    # The fuzz targets (fuzz/run.sh) are built with clang and its libFuzzer.
    --fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
    # file: CPack finds the programs' libraries with it. x11-utils: xwininfo,
    # to see which window the installed program opens.
    --package) packages+=(file lintian desktop-file-utils appstream x11-utils) ;;
    *) echo "install-deps.sh: unknown option $flag" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq || true
$sudo apt-get install -y -qq "${missing[@]}"
