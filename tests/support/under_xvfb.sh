#!/usr/bin/env bash
# Runs a Qt test program once more under an X server of its own (xvfb-run -a)
# on the xcb platform, its screenshots into SHOTS. Usage:
#   under_xvfb.sh XCB_PLUGIN SHOTS PROGRAM [ARGS...]
# Exit 77 (skipped) when there is no xvfb-run or no xcb platform plugin.
set -u
xcb="$1" shots="$2"; shift 2
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is missing (setup.sh installs xvfb): not run under X"; exit 77
fi
if [ ! -e "$xcb" ]; then
  echo "no xcb platform plugin ($xcb; setup.sh installs libqt6gui6): not run under X"; exit 77
fi
mkdir -p "$shots"
export KADO_SHOTS="$shots" QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" "$@"
