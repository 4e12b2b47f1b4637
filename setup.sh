#!/usr/bin/env bash
# Installs the Debian packages the project needs (when missing), then
# configures and builds. Usage: ./setup.sh [build-dir] [extra cmake args...]
#                               ./setup.sh --packages-only
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake pkg-config git clang libclang-rt-14-dev
          libgtest-dev libgmock-dev googletest libbenchmark-dev
          libsqlite3-dev libpq-dev postgresql libzip-dev libpugixml-dev libcli11-dev
          qt6-base-dev libgl-dev fonts-dejavu-core fonts-liberation libreoffice-writer-nogui
          poppler-utils zip unzip time locales qt6-translations-l10n)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The number-text tests run under a German locale, as a desktop session has it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "setup: generating de_DE.UTF-8"
  $SUDO sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi

[ "${1:-}" != --packages-only ] || exit 0

BUILD_DIR="${1:-build}"
shift || true
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-2}"
