#!/usr/bin/env bash
# Installs what the console needs to build, run and test, where it is missing.
# Idempotent; run as root on Debian.
set -euo pipefail

packages=(cmake g++ make qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev qttools5-dev
          qttools5-dev-tools xvfb xauth fonts-wqy-microhei
          fonts-font-awesome valgrind)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
