#!/usr/bin/env bash
# Builds the project, lays out demo data and plays one boundary determination
# (Grenzfeststellung) on the demo invoice through the stand-in host.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
dir="${1:-$(mktemp -d)}"
build/bin/kado-host init "$dir"
build/bin/kado-host run --db "$dir/kado.sqlite" --doc "$dir/Rechnung.docx" --out "$dir/Rechnung-fertig.docx" \
  --invoice 1 --category 0 \
  --do "set mskAGPo=12" --do "set mskAGP=3" --do "set mskBoden=250" --do ok
echo "Fertige Rechnung: $dir/Rechnung-fertig.docx (Vorlage unverändert: $dir/Rechnung.docx)"
