#!/usr/bin/env bash
# The end of the main job: a finished invoice as LibreOffice prints it (its
# PDF's text in the printed layout) and the figures kado-host run wrote into
# the invoice record, in euros. Usage: host/show_invoice.sh DOCX RUN-OUTPUT
# (RUN-OUTPUT: what kado-host run printed). Sourced, it only defines euro.

# Cents as German euro text: 150000 -> "1.500,00 €".
euro() {
  local c="$1" sign=""
  [[ "$c" == -* ]] && { sign="-"; c="${c#-}"; }
  c="$(printf '%03d' "$((10#$c))")"
  local int="${c:0:${#c}-2}" grouped=""
  while ((${#int} > 3)); do grouped=".${int: -3}$grouped"; int="${int:0:${#int}-3}"; done
  printf '%s%s%s,%s €' "$sign" "$int" "$grouped" "${c: -2}"
}

show_invoice() {
  local docx="$1" run="$2" dir pdf profile
  dir="$(dirname "$docx")"
  pdf="$dir/$(basename "$docx" .docx).pdf"
  echo "== So wird die Rechnung gedruckt (LibreOffice, etwa 10 Sekunden)"
  if command -v soffice >/dev/null && command -v pdftotext >/dev/null; then
    profile="$(mktemp -d)"
    timeout 300 soffice -env:UserInstallation="file://$profile" --headless --convert-to pdf --outdir "$dir" \
      "$docx" >"$dir/druck.log" 2>&1 || true
    rm -rf "$profile"
    if [ -s "$pdf" ]; then
      # The page's text laid out as printed, runs of blank lines squeezed.
      pdftotext -layout "$pdf" - | sed 's/[[:space:]]*$//' | cat -s
      echo "(PDF: $pdf)"
    else
      echo "LibreOffice hat keine PDF geschrieben, siehe $dir/druck.log"
    fi
  else
    echo "soffice oder pdftotext fehlt (./setup.sh installiert beide)"
  fi
  echo
  echo "== Rechnungsdatensatz nach dem OK"
  local figures
  figures="$(grep -oE 'NettoRechnung -?[0-9]+, Brutto -?[0-9]+, MehrwertsteuerFreierbetrag -?[0-9]+' "$run" | tail -n 1)"
  if [ -z "$figures" ]; then
    echo "  kado-host run hat keine Zahlen in den Datensatz geschrieben"
    return 1
  fi
  local net gross vatFree
  read -r _ net _ gross _ vatFree <<<"${figures//,/}"
  printf '  %-28s %14s\n' "NettoRechnung" "$(euro "$net")" "Brutto" "$(euro "$gross")" \
    "MehrwertsteuerFreierbetrag" "$(euro "$vatFree")"
}

if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  set -euo pipefail
  show_invoice "$@"
fi
