#!/usr/bin/env bash
# The libraries kado-host loads: its commands without the window load no Qt
# library, no zip or crypto library (the engine reads zip itself) and, on an
# SQLite file, no libpq; the window and the server engine
# are modules loaded beside the platform libraries, and a missing or broken
# module is a message and an exit code, not a crash.
# Usage: host_modules_test.sh KADO-HOST [XCB_PLUGIN]
set -u
host="$1" xcb="${2:-}"
lib="$(dirname "$host")/../lib"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/../built_plugin.sh"
register_plugin "$root/config" export
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
d="$root/demo"
"$host" init "$d" >/dev/null || fail "init exited $?"
nowhere="postgresql://kado@127.0.0.1:1/kado"   # port 1: nobody listens

# What a command loads, one file a line, as the dynamic loader names it.
loaded() { LD_DEBUG=files "$@" 2>&1 >/dev/null | sed -n 's/.*calling init: //p'; }
while IFS='|' read -r name args; do
  eval "set -- $args"
  files="$(loaded "$host" "$@")"
  grep -q 'libkado_com\.so' <<<"$files" || fail "$name: no loader list ($files)"
  bad="$(grep -E 'libQt6|libkado_qt|libkado_host_window|libpq\.so|libkado_dao_pg|libzip\.so|libcrypto\.so|libbz2\.so|libz\.so' <<<"$files")"
  [ -z "$bad" ] || fail "$name loads: $bad"
done <<CASES
help|help
run --help|run --help
init|init "$root/neu"
session|session --db "$d/kado.sqlite" --category 0
run cancel|run --db "$d/kado.sqlite" --doc "$d/Rechnung.docx" --invoice 1 --category 0 --do cancel
erechnung|erechnung --db "$d/kado.sqlite" --doc "$d/Rechnung.docx" --invoice 1 --out "$root/x.xml"
no display|gui
CASES
# The run above really had the plug-in: it is loaded from where it was registered.
loaded "$host" run --db "$d/kado.sqlite" --doc "$d/Rechnung.docx" --invoice 1 --category 0 --do cancel \
  | grep -q 'libhonora\.so' || fail "run cancel did not load the plug-in"
# A server URI loads the server engine (libpq's own refusal shows it ran).
out="$("$host" init "$root/pg" --db "$nowhere" 2>&1)"; rc=$?
[ "$rc" -eq 1 ] && grep -qF "Fehler 3049" <<<"$out" && grep -qi "connection" <<<"$out" || fail "server URI: exit $rc: $out"

# The platform libraries copied into a folder of their own, found there first
# (LD_LIBRARY_PATH before the program's RUNPATH): the modules are looked for
# beside them. The module is left out, or is a file that is no library, or a
# library without the module's entry point.
platform="$root/platform"
while IFS='|' read -r module kind want_rc want args; do
  rm -rf "$platform"; mkdir "$platform"
  cp "$lib"/libkado_*.so "$platform"/
  rm -f "$platform/$module"
  case "$kind" in
    absent) ;;
    junk) echo "keine Bibliothek" >"$platform/$module" ;;
    other) cp "$lib/libkado_settings.so" "$platform/$module" ;;
  esac
  want="${want//MODULE/$platform/$module}"
  eval "set -- $args"
  out="$(DISPLAY=:99 LD_LIBRARY_PATH="$platform" "$host" "$@" 2>&1)"; rc=$?
  [ "$rc" -eq "$want_rc" ] || fail "$module $kind: exit $rc, not $want_rc: $out"
  grep -qF -- "$want" <<<"$out" || fail "$module $kind: wanted \"$want\", got: $out"
done <<CASES
libkado_host_window.so|absent|2|kado-host: das Fenster lässt sich nicht laden: MODULE: cannot open shared object file|gui
libkado_host_window.so|junk|2|kado-host: das Fenster lässt sich nicht laden: MODULE|gui --db "$d/kado.sqlite"
libkado_host_window.so|other|2|kado-host: MODULE ist nicht das Fenster von kado-host (kein Einstieg kado_host_run_window)|
libkado_dao_pg.so|absent|1|Fehler 3049: "Cannot open database '$nowhere': the server engine MODULE cannot be loaded: MODULE: cannot open|init "$root/a" --db "$nowhere"
libkado_dao_pg.so|junk|2|Datenbank lässt sich nicht öffnen: $nowhere: Fehler 3049: "Cannot open database '$nowhere': the server engine MODULE cannot be loaded|run --db "$nowhere" --doc "$d/Rechnung.docx" --category 0 --do cancel
libkado_dao_pg.so|other|1|Fehler 3049: "Cannot open database '$nowhere': the server engine MODULE has no entry point kado_dao_pg_open|init "$root/b" --db "$nowhere"
CASES

# The window itself, loaded from its module, on an X server of its own.
if ! command -v xvfb-run >/dev/null || ! command -v xwininfo >/dev/null || [ ! -e "$xcb" ]; then
  echo "kado-host modules: all checks passed (the window not opened: no xvfb-run, xwininfo or xcb plugin)"
  exit 0
fi
cat >"$root/window.sh" <<'WINDOW'
# Starts the window and waits until the X server shows it with the invoice's name.
"$1" gui --db "$2/kado.sqlite" --doc "$2/Rechnung.docx" --invoice 1 >"$2/gui.out" 2>&1 &
pid=$!
for _ in $(seq 1 100); do
  if xwininfo -root -tree 2>/dev/null | grep -q 'Rechnung.docx'; then kill "$pid"; wait "$pid"; exit 0; fi
  kill -0 "$pid" 2>/dev/null || { wait "$pid"; echo "the window ended with exit $?: $(cat "$2/gui.out")"; exit 1; }
  sleep 0.2
done
kill "$pid"; echo "no window named after Rechnung.docx in 20 s: $(xwininfo -root -tree 2>&1 | head -20)"; exit 1
WINDOW
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$root/window.sh" "$host" "$d" \
  || fail "the window did not open"
echo "kado-host modules: all checks passed"
