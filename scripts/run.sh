#!/usr/bin/env bash
# Installs what is missing, builds, and starts the configuration tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting the tool on a virtual X display (xvfb-run)." >&2
  exec xvfb-run -a build/velkan-sarn "$@"
fi
exec build/velkan-sarn "$@"
