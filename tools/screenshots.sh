#!/usr/bin/env bash
# Takes screenshots of the device list and both editor frames with simulated devices, under
# Xvfb, into docs/screenshots/ (or the folder given): the frames at their default size in Chinese
# (tarnframe.png, zframe.png) and in English (tarnframe-en.png, zframe-en.png). Needs a build (./run.sh or
# scripts/build.sh) and ImageMagick's "import" (apt-get install imagemagick); neither the build
# nor the tests need ImageMagick.
#
#   tools/screenshots.sh [output folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${1:-$root/docs/screenshots}

command -v import >/dev/null || { echo "screenshots: ImageMagick's import is missing (apt-get install imagemagick)" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "screenshots: Xvfb is missing (apt-get install xvfb)" >&2; exit 1; }
[ -x "$build/frameshots" ] || { echo "screenshots: $build/frameshots is not built" >&2; exit 1; }
mkdir -p "$out"

display=":$((50 + $$ % 40))"
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

export DISPLAY=$display QT_QPA_PLATFORM=xcb
coproc SHOTS { cd "$build" && exec ./frameshots 2>/dev/null; }
while read -r kind name winid <&"${SHOTS[0]}"; do
  [ "$kind" = "done" ] && break
  [ "$kind" = "shot" ] || continue
  import -window "$winid" "$out/$name.png"
  echo "screenshots: $out/$name.png"
  echo next >&"${SHOTS[1]}"
done
wait "$SHOTS_PID" 2>/dev/null || true
