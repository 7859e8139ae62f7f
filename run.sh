#!/usr/bin/env bash
# Installs what is missing, builds and starts the console from the build folder.
#
#   ./run.sh           the console (the device list window)
#   ./run.sh --demo    the console plus two simulated devices on loopback (one Tarn on
#                      127.0.0.2, one Z on 127.0.0.3, built from tools/devsim); they appear in
#                      the device list within a second or two, and every request they receive is
#                      printed here with the prefix [devsim]. They stop when the console exits.
#
# With no display (neither DISPLAY nor WAYLAND_DISPLAY set, and no QT_QPA_PLATFORM chosen) the
# console runs under Xvfb, which is said on the terminal.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

demo=0
args=()
for a in "$@"; do
  if [ "$a" = "--demo" ]; then demo=1; else args+=("$a"); fi
done

"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "${BUILD_DIR:-$root/build}"

console=(./Vistel)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run: no display found; running the console under Xvfb"
  console=(xvfb-run -a -s "-screen 0 1920x1080x24" ./Vistel)
fi

if [ "$demo" = 0 ]; then
  exec "${console[@]}" ${args[@]+"${args[@]}"}
fi

if [ ! -x ./devsim ]; then
  echo "run: the device simulator (devsim) was not built" >&2
  exit 1
fi
./devsim --family tarn,z --address 127.0.0.2 --interval 1000 > >(sed -u 's/^/[devsim] /') 2>&1 &
devsim_pid=$!
trap 'kill "$devsim_pid" 2>/dev/null || true; wait "$devsim_pid" 2>/dev/null || true' EXIT
echo "run: demo devices started (devsim, pid $devsim_pid); switch one on in the device list"
status=0
"${console[@]}" ${args[@]+"${args[@]}"} || status=$?
exit "$status"
