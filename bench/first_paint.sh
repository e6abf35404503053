#!/usr/bin/env bash
# Time from the program's start to the main window's first paint (language
# table loaded, settings read, no unit), median of RUNS starts (default 10),
# on a virtual X display and with -platform offscreen.
# Usage: bench/first_paint.sh [RUNS] (after scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
program="$PWD/build/velkan-sarn"
scratch=$(mktemp -d)
trap 'kill "${xvfb:-0}" 2>/dev/null || true; rm -rf "$scratch"' EXIT
# Settings of a second start: the language is chosen, so no dialog opens.
mkdir -p "$scratch/config" "$scratch/run" "$scratch/work"
chmod 700 "$scratch/run"
printf '[Velkan%%20Sarn]\nComPort=1\nIdioma=0\n' >"$scratch/config/Orvane.conf"
export XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run" HOME="$scratch"

# One start: milliseconds from launch to the "first-paint" line.
start_once() {
  local begin word time="" pid
  mkfifo "$scratch/err"
  begin=$(date +%s%3N)
  (cd "$scratch/work" && VELKAN_TRACE_STARTUP=1 exec timeout 20 "$program" "$@" 2>"$scratch/err" >/dev/null) &
  pid=$!
  while read -r word time; do [ "$word" = first-paint ] && break; done <"$scratch/err"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -f "$scratch/err"
  echo $((time - begin))
}

median_of() {
  local figures=()
  for ((i = 0; i < runs; i++)); do figures+=("$(start_once "$@")"); done
  printf '%s\n' "${figures[@]}" | sort -n | awk '{a[NR]=$1} END {m=a[int((NR+1)/2)]; printf "median %d ms (min %d, max %d) over %d starts\n", m, a[1], a[NR], NR}'
}

# Xvfb names its display on the descriptor once it is ready.
mkfifo "$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$scratch/display"
display=":$number"
echo "X display (Xvfb): $(DISPLAY=$display QT_QPA_PLATFORM=xcb median_of)"
echo "offscreen:        $(QT_QPA_PLATFORM=offscreen median_of -platform offscreen)"
