#!/usr/bin/env bash
# Installs the Debian packages the project needs (when missing), then
# configures and builds. Usage: ./setup.sh [build-dir] [extra cmake args...]
#                               ./setup.sh --packages-only
# It says what it does and how far it is; the full package and compiler
# output goes to BUILD-DIR/setup.log (build/setup.log with --packages-only).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake pkg-config git clang libclang-rt-14-dev
          libgtest-dev libgmock-dev googletest libbenchmark-dev
          libsqlite3-dev libpq-dev postgresql libzip-dev libdeflate-dev libcli11-dev
          qt6-base-dev libgl-dev fonts-dejavu-core fonts-liberation libreoffice-writer-nogui
          poppler-utils zip unzip sqlite3 time locales qt6-translations-l10n
          default-jre-headless libsaxonhe-java libxml2-utils
          cups xvfb xauth libqt6gui6)
# cups: the print tests run a scheduler of their own with a PDF queue; xvfb and
# xauth: the window tests run once more under an X server (libqt6gui6 has the
# xcb platform plugin). libzip-dev: only the host tests build their broken
# fixtures with it; the document engine reads and writes zip itself.

BUILD_DIR=build
[ "${1:-}" = --packages-only ] || BUILD_DIR="${1:-build}"
mkdir -p "$BUILD_DIR"
LOG="$(cd "$BUILD_DIR" && pwd)/setup.log"
: >"$LOG"
say() { echo "setup: $*"; }
# The log's error lines and last lines, and where the rest is, when a step failed.
failed() {
  say "$1 fehlgeschlagen; aus $LOG:" >&2
  grep -E -A4 '(error|Error|E):' "$LOG" | head -n 60 >&2 || true
  echo "..." >&2
  tail -n 20 "$LOG" >&2
  exit 1
}
# Runs a command into the log; prints "WHAT: N von TOTAL" as lines matching
# PATTERN arrive (a line each 10 % without a terminal, in place with one).
counted() {
  local what="$1" pattern="$2" total="$3"; shift 3
  local n=0 shown=-1 line
  while IFS= read -r line; do
    printf '%s\n' "$line" >>"$LOG"
    [[ "$line" =~ $pattern ]] || continue
    if [[ "$total" == % ]]; then n="${BASH_REMATCH[1]}"; n=$((10#$n)); else n=$((n + 1)); fi
    if [ -t 1 ]; then
      if [[ "$total" == % ]]; then printf '\rsetup: %s: %3d %%' "$what" "$n"; else printf '\rsetup: %s: %d von %d' "$what" "$n" "$total"; fi
    else
      local step; if [[ "$total" == % ]]; then step=$((n / 10)); else step=$((total > 0 ? n * 10 / total : 0)); fi
      if ((step > shown)); then
        shown=$step
        if [[ "$total" == % ]]; then say "$what: $n %"; else say "$what: $n von $total"; fi
      fi
    fi
  done < <("$@" 2>&1; echo "kado-setup-exit $?")
  [ -t 1 ] && echo
  tail -n 1 "$LOG" | grep -qx 'kado-setup-exit 0'
}

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
if ((${#missing[@]})); then
  say "${#missing[@]} Pakete fehlen: ${missing[*]}"
  say "Paketlisten werden geladen (etwa eine Minute) ..."
  $SUDO apt-get update >>"$LOG" 2>&1 || failed "apt-get update"
  # apt names the number of packages with their dependencies before it starts.
  total="$(LC_ALL=C $SUDO apt-get install -s --no-install-recommends "${missing[@]}" 2>>"$LOG" | grep -c '^Inst ' || true)"
  say "$total Pakete mit Abhängigkeiten werden geladen und eingerichtet (beim ersten Mal 3 bis 10 Minuten) ..."
  counted "Pakete eingerichtet" '^Setting up ' "$total" \
    $SUDO env LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" \
    || failed "Installieren der Pakete"
fi
# The number-text tests run under a German locale, as a desktop session has it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  say "Sprachumgebung de_DE.UTF-8 wird erzeugt ..."
  $SUDO sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >>"$LOG" 2>&1 || failed "locale-gen"
fi

[ "${1:-}" != --packages-only ] || exit 0

shift || true
if [ -f "$BUILD_DIR/CMakeCache.txt" ]; then
  say "Übersetzen in $BUILD_DIR (nur Geändertes) ..."
else
  say "Übersetzen in $BUILD_DIR, beim ersten Mal etwa 10 Minuten auf 2 Kernen (Protokoll: $LOG) ..."
fi
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >>"$LOG" 2>&1 || failed "cmake"
counted "Übersetzen" '^\[ *([0-9]+)%\]' % cmake --build "$BUILD_DIR" -j"${JOBS:-2}" || failed "Übersetzen"
say "fertig: Programme in $BUILD_DIR/bin, Protokoll in $LOG"
