#!/usr/bin/env bash
# How the main job ends: the confirmed demo invoice as it prints and the
# invoice record in euros, after the cent figures kado-host run printed.
set -u
host="$1" src="$2"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/built_plugin.sh"
register_plugin "$dir/config" export
source "$src/host/show_invoice.sh"
while IFS='|' read -r cents want; do
  [ "$(euro "$cents")" = "$want" ] || fail "euro $cents: $(euro "$cents"), not $want"
done <<'CASES'
0|0,00 €
7|0,07 €
150000|1.500,00 €
178500|1.785,00 €
-123456789|-1.234.567,89 €
CASES

if ! command -v soffice >/dev/null || ! command -v pdftotext >/dev/null; then echo "soffice or pdftotext missing"; exit 77; fi
"$host" init "$dir" >/dev/null || fail "init exited $?"
source "$src/host/demo_jobs.sh"
demo_job 0
args=(); for a in "${job[@]}"; do args+=(--do "$a"); done
"$host" run --db "$dir/kado.sqlite" --doc "$dir/Rechnung.docx" --out "$dir/fertig.docx" --invoice 1 --category 0 \
  "${args[@]}" --do ok >"$dir/run.txt" || fail "run exited $?"
out="$("$src/host/show_invoice.sh" "$dir/fertig.docx" "$dir/run.txt")" || fail "show_invoice exited $?"
for want in 'Grenzfeststellung nach Nr. 30.6.1.1' 'Einzelgebühr [€]' 'Rechnungsbetrag:'; do
  grep -qF -- "$want" <<<"$out" || fail "printed invoice lacks: $want"
done
# The printed table keeps its columns: the fee heading and its amount column on one line.
grep -qE 'Anzahl +Einzelgebühr \[€\] +Gebühr \[€\]' <<<"$out" || fail "printed table lost its layout: $out"
tail -n 3 <<<"$out" | sed 's/  */ /g' >"$dir/tail"
printf '%s\n' ' NettoRechnung 1.500,00 €' ' Brutto 1.785,00 €' ' MehrwertsteuerFreierbetrag 0,00 €' | cmp -s - "$dir/tail" \
  || fail "does not end on the record in euros: $(cat "$dir/tail")"
! grep -q '^lbl\|(Cent)' <<<"$out" || fail "control names or cents in the ending"
echo "main job ending: all checks passed"
