#!/usr/bin/env bash
# Installs what is missing, builds and starts the console from the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "${BUILD_DIR:-$root/build}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run: no display found; running the console under Xvfb"
  exec xvfb-run -a -s "-screen 0 1920x1080x24" ./Vistel "$@"
fi
exec ./Vistel "$@"
