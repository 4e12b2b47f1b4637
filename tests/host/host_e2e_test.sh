#!/usr/bin/env bash
# A boundary determination played through kado-host run on the demo data: the
# saved invoice as LibreOffice reads it, and the invoice record in cents.
set -u
host="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/built_plugin.sh"
register_plugin "$dir/config" export

"$host" init "$dir" >/dev/null || fail "init exited $?"
cp "$dir/Rechnung.docx" "$dir/vorher.docx"
run() { "$host" run --db "$dir/kado.sqlite" --doc "$dir/Rechnung.docx" --invoice 1 --category 0 "$@"; }

out="$(run --do 'set mskAGPo=12' --do 'set mskAGP=3' --do 'set mskBoden=250' --do cancel)" || fail "cancel run exited $?"
grep -qF 'Dokument unverändert, nicht gespeichert' <<<"$out" || fail "cancel saved the document"
cmp -s "$dir/Rechnung.docx" "$dir/vorher.docx" || fail "cancel changed the document file"

out="$(run --out "$dir/fertig.docx" --do 'set mskAGPo=12' --do 'set mskAGP=3' --do 'set mskBoden=250' --do ok)" \
  || fail "ok run exited $?"
for want in 'lblFaktor=2,25' 'lblSumme=1500,00' "Rechnung gespeichert: $dir/fertig.docx" \
            'Rechnung 1: NettoRechnung 150000, Brutto 178500, MehrwertsteuerFreierbetrag 0 (Cent)'; do
  grep -qF -- "$want" <<<"$out" || fail "run output lacks: $want"
done
cmp -s "$dir/Rechnung.docx" "$dir/vorher.docx" || fail "--out also changed the input document"

if ! command -v soffice >/dev/null; then echo "soffice missing: LibreOffice check skipped"; exit 77; fi
timeout 300 soffice -env:UserInstallation="file://$dir/lo-profile" --headless --convert-to txt:Text \
  --outdir "$dir/txt" "$dir/fertig.docx" >/dev/null 2>&1 || fail "LibreOffice could not convert the invoice"
text="$dir/txt/fertig.txt"
for want in 'Grenzfeststellung nach Nr. 30.6.1.1' 'Einzelgebühr [€]' '480,00 €' '1500,00 €' \
            'Mehrwertsteuer 19 %' '285,00 €' 'Rechnungsbetrag:    1785,00 €'; do
  grep -qF -- "$want" "$text" || fail "LibreOffice text of the invoice lacks: $want"
done
# Plain text leaves text boxes out; the flat document format keeps the payment term's box.
timeout 300 soffice -env:UserInstallation="file://$dir/lo-profile" --headless --convert-to fodt \
  --outdir "$dir/txt" "$dir/fertig.docx" >/dev/null 2>&1 || fail "LibreOffice could not convert the invoice to fodt"
grep -q 'draw:name="Zahlungsziel"' "$dir/txt/fertig.fodt" || fail "LibreOffice sees no text box Zahlungsziel"
sed 's/<[^>]*>//g' "$dir/txt/fertig.fodt" | grep -q 'Zahlbar bis .*ohne Abzug' || fail "the payment term text is missing"

echo "kado-host run: all checks passed"
