#!/usr/bin/env bash
# Runs a program on an Xvfb server of its own, of the size and dots per inch given, on a display
# number the server picks itself (-displayfd): tests run in parallel never share one.
#   onscreen.sh WIDTHxHEIGHT DPI program [arguments]
set -euo pipefail
size=$1 dpi=$2
shift 2
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi "$dpi" -nolisten tcp 3>"$dir/display" >"$dir/log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 100); do
  [ -s "$dir/display" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
[ -s "$dir/display" ] || { echo "onscreen: Xvfb did not start" >&2; cat "$dir/log" >&2; exit 1; }
DISPLAY=":$(head -n 1 "$dir/display")" QT_QPA_PLATFORM=xcb "$@"
