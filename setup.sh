#!/usr/bin/env bash
# Installs the Debian packages the project needs (when missing), then
# configures and builds. Usage: ./setup.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake pkg-config git clang libclang-rt-14-dev
          libgtest-dev libgmock-dev googletest libbenchmark-dev
          libsqlite3-dev libzip-dev libpugixml-dev libcli11-dev
          qt6-base-dev libgl-dev fonts-dejavu-core libreoffice-writer-nogui zip unzip time)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

BUILD_DIR="${1:-build}"
shift || true
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-2}"
