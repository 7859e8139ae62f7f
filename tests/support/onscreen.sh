#!/usr/bin/env bash
# Runs a program on an X server of its own: a virtual screen (Xvfb) of the size and dots per
# inch given, on a display number the server picks itself (-displayfd), so that tests run in
# parallel never share one. No window manager is needed.
#
#   onscreen.sh WIDTHxHEIGHT DPI program [arguments]
set -euo pipefail
size=$1
dpi=$2
shift 2
command -v Xvfb >/dev/null || { echo "onscreen: Xvfb is missing (scripts/setup.sh installs it)" >&2; exit 1; }
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi "$dpi" -nolisten tcp 3>"$dir/display" >"$dir/log" 2>&1 &
server=$!
cleanup() { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$dir"; }
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$dir/display" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$dir/display" ]; then
  echo "onscreen: Xvfb did not start" >&2
  cat "$dir/log" >&2
  exit 1
fi
DISPLAY=":$(head -n 1 "$dir/display")" QT_QPA_PLATFORM=xcb "$@"
