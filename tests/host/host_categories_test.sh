#!/usr/bin/env bash
# The demo job of every other category played through kado-host run: the
# labels, the invoice record, reopening the saved invoice without changes,
# and the finished invoices as LibreOffice reads them.
set -u
host="$1"
src="$2"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/built_plugin.sh"
register_plugin "$root/config" export
source "$src/host/demo_jobs.sh"

# index | title | fee label | record | amount in the LibreOffice text | invoice total
while IFS='|' read -r index title fee record amount total; do
  d="$root/$index"
  "$host" init "$d" >/dev/null || fail "$index: init exited $?"
  demo_job "$index"
  args=()
  for a in "${job[@]}"; do args+=(--do "$a"); done
  out="$("$host" run --db "$d/kado.sqlite" --doc "$d/Rechnung.docx" --out "$d/fertig-$index.docx" --invoice 1 \
         --category "$index" "${args[@]}" --do ok 2>&1)" || fail "$index: run exited $?: $out"
  for want in "\"$title\"" "lblSumme=$fee" "Rechnung 1: $record"; do
    grep -qF -- "$want" <<<"$out" || fail "$index: run output lacks: $want"
  done
  # Reopened on its own table and confirmed unchanged, the invoice bills the same.
  out="$("$host" run --db "$d/kado.sqlite" --doc "$d/fertig-$index.docx" --out "$d/wieder.docx" --invoice 1 \
         --category "$index" --strict --do 'choose optTabelle(0)' --do ok 2>&1)" || fail "$index: rerun exited $?: $out"
  grep -qF -- "Rechnung 1: $record" <<<"$out" || fail "$index: reconfirming changed the record: $out"
  printf '%s|%s|%s\n' "$index" "$title" "$amount|$total" >>"$root/expect"
done <<'CASES'
1|Gebäudeaufnahme nach Nr. 30.4|480,00|NettoRechnung 48000, Brutto 57120, MehrwertsteuerFreierbetrag 0 (Cent)|zwischen 100 T€ und 400 T€|571,20 €
2|Lang gestreckte Anlagen nach Nr. 30.3|2265,00|NettoRechnung 226500, Brutto 269535, MehrwertsteuerFreierbetrag 0 (Cent)|4    Flur-/Zuflurstücke|2695,35 €
3|Baulandumlegung nach Nr. 30.2|4752,00|NettoRechnung 475200, Brutto 565488, MehrwertsteuerFreierbetrag 0 (Cent)|Gebühr = Zwischensumme * Wertfaktor * Faktor A|5654,88 €
4|Zerlegung nach Nr. 30.1|2880,00|NettoRechnung 288000, Brutto 342720, MehrwertsteuerFreierbetrag 0 (Cent)|Flur 3, Flurstück 112|3427,20 €
CASES

if ! command -v soffice >/dev/null; then echo "soffice missing: LibreOffice check skipped"; exit 77; fi
timeout 300 soffice -env:UserInstallation="file://$root/lo-profile" --headless --convert-to txt:Text \
  --outdir "$root/txt" "$root"/*/fertig-*.docx >/dev/null 2>&1 || fail "LibreOffice could not convert the invoices"
while IFS='|' read -r index title amount total; do
  text="$root/txt/fertig-$index.txt"
  [ -f "$text" ] || fail "$index: LibreOffice wrote no text"
  for want in "$title" 'Einzelgebühr [€]' "$amount" "Rechnungsbetrag:" "$total"; do
    grep -qF -- "$want" "$text" || fail "$index: LibreOffice text of the invoice lacks: $want"
  done
  grep -F 'Rechnungsbetrag:' "$text" | grep -qF -- "$total" || fail "$index: the invoice total is not $total"
done <"$root/expect"
echo "kado-host run, categories 1 to 4: all checks passed"
