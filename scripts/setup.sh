#!/usr/bin/env bash
# Installs, with apt-get, whatever the suite needs to build, test and run that is not yet on the
# machine. Safe to run again: it asks dpkg first and only calls apt-get for missing packages.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6dbus6 libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libqt6svg6 dbus dbus-x11 fonts-wqy-microhei xvfb xauth desktop-file-utils
  clang-format nlohmann-json3-dev
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
