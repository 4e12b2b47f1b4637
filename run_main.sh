#!/usr/bin/env bash
# Builds the project, lays out demo data and plays the demo job of one fee
# category on the demo invoice through the stand-in host.
# Usage: ./run_main.sh [DIR] [KATEGORIE]; KATEGORIE is Show's index: 0 Grenzfeststellung
# (default), 1 Gebäudeaufnahme, 2 lang gestreckte Anlagen, 3 Baulandumlegung, 4 Zerlegung.
set -euo pipefail
cd "$(dirname "$0")"
source host/demo_jobs.sh
category="${2:-0}"
demo_job "$category" || { echo "run_main.sh: Kategorie \"$category\" gibt es nicht, gültig sind 0 bis 4" >&2; exit 2; }
./setup.sh
dir="${1:-$(mktemp -d)}"
mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
# The demo keeps its settings and component registry in a folder of its own.
export XDG_CONFIG_HOME="$dir/config"
build/bin/kado-host init "$dir"
# The office installs the extension: ModulSetup started from a copy of the
# extension folder, with no program folder set yet, installs where it stands,
# records that folder as the host's and registers the plug-in there.
mkdir -p "$dir/Programm"
cp build/extension/* "$dir/Programm/"
QT_QPA_PLATFORM=offscreen "$dir/Programm/ModulSetup"
# The registration tool runs on its own: wait for its entry.
for _ in $(seq 100); do
  grep -qs '^honora\.GO' "$XDG_CONFIG_HOME/KadoKomponenten/registry.txt" && break
  sleep 0.1
done
args=()
for a in "${job[@]}"; do args+=(--do "$a"); done
build/bin/kado-host run --db "$dir/kado.sqlite" --doc "$dir/Rechnung.docx" --out "$dir/Rechnung-fertig.docx" \
  --invoice 1 --category "$category" "${args[@]}" --do ok
echo "Fertige Rechnung: $dir/Rechnung-fertig.docx (Vorlage unverändert: $dir/Rechnung.docx)"
echo "Erweiterung installiert in $dir/Programm; weitere Läufe mit XDG_CONFIG_HOME=$dir/config"
