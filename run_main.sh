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
build/bin/kado-host init "$dir"
args=()
for a in "${job[@]}"; do args+=(--do "$a"); done
build/bin/kado-host run --db "$dir/kado.sqlite" --doc "$dir/Rechnung.docx" --out "$dir/Rechnung-fertig.docx" \
  --invoice 1 --category "$category" "${args[@]}" --do ok
echo "Fertige Rechnung: $dir/Rechnung-fertig.docx (Vorlage unverändert: $dir/Rechnung.docx)"
