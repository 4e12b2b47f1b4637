#!/usr/bin/env bash
# Builds the project, lays out demo data and plays the demo job of one fee
# category on the demo invoice through the stand-in host; ends on the fee
# table as LibreOffice prints it and the invoice record's figures in euros.
# Usage: ./run_main.sh [DIR] [KATEGORIE]; KATEGORIE is Show's index: 0 Grenzfeststellung
# (default), 1 Gebäudeaufnahme, 2 lang gestreckte Anlagen, 3 Baulandumlegung, 4 Zerlegung.
set -euo pipefail
cd "$(dirname "$0")"
source host/demo_jobs.sh
category="${2:-0}"
demo_job "$category" || { echo "run_main.sh: Kategorie \"$category\" gibt es nicht, gültig sind 0 bis 4" >&2; exit 2; }
say() { echo; echo "== $*"; }
say "Einrichten und Übersetzen (beim ersten Mal etwa 10 Minuten, danach Sekunden)"
./setup.sh
dir="${1:-$(mktemp -d)}"
mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
# The demo keeps its settings and component registry in a folder of its own.
export XDG_CONFIG_HOME="$dir/config"
say "Demodaten in $dir"
build/bin/kado-host init "$dir"
# The office installs the extension: ModulSetup started from a copy of the
# extension folder, with no program folder set yet, installs where it stands,
# records that folder as the host's and registers the plug-in there.
say "Erweiterung installieren: ModulSetup in $dir/Programm (sein Fenster, Zeile für Zeile)"
mkdir -p "$dir/Programm"
cp build/extension/* "$dir/Programm/"
QT_QPA_PLATFORM=offscreen "$dir/Programm/ModulSetup"
names=(Grenzfeststellung Gebäudeaufnahme "lang gestreckte Anlagen" Baulandumlegung Zerlegung)
say "Gebührendialog ${names[$category]} bedienen und bestätigen (kado-host run)"
args=()
for a in "${job[@]}"; do args+=(--do "$a"); done
build/bin/kado-host run --db "$dir/kado.sqlite" --doc "$dir/Rechnung.docx" --out "$dir/Rechnung-fertig.docx" \
  --invoice 1 --category "$category" "${args[@]}" --do ok | tee "$dir/run.txt"

echo
echo "Fertige Rechnung: $dir/Rechnung-fertig.docx (Vorlage unverändert: $dir/Rechnung.docx)"
echo "Erweiterung installiert in $dir/Programm; weitere Läufe mit XDG_CONFIG_HOME=$dir/config"

echo
host/show_invoice.sh "$dir/Rechnung-fertig.docx" "$dir/run.txt"
