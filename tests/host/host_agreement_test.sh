#!/usr/bin/env bash
# kado-host run keeps the invoice record and the invoice document one fact:
# every refused or failed run leaves both as they were and exits non-zero
# naming which holds what; targets that are no invoice document are refused;
# links are written through; each run counts only its own log entries.
set -u
host="$1"
root="$(mktemp -d)"
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
command -v sqlite3 >/dev/null || { echo "sqlite3 missing"; exit 77; }
source "$(dirname "$0")/built_plugin.sh"
register_plugin "$root/config" export
export QT_QPA_PLATFORM=offscreen TMPDIR="$root/tmp"
mkdir -p "$TMPDIR"
inputs=(--do 'set mskAGPo=12' --do 'set mskAGP=3' --do 'set mskBoden=250')
n=0
fresh() {
  n=$((n + 1)); d="$root/$n"
  "$host" init "$d" >/dev/null || fail "init exited $?"
  cp "$d/Rechnung.docx" "$d/vorher.docx"; cp "$d/kado.sqlite" "$d/vorher.sqlite"
  before="$(record)"
}
record() { sqlite3 "$d/kado.sqlite" 'SELECT CAST(NettoRechnung AS INTEGER) || "/" || CAST(Brutto AS INTEGER) FROM Rechnung WHERE ID_Rechnungsnummer = 1'; }
run() { "$host" run --db "$d/kado.sqlite" --doc "$d/Rechnung.docx" --invoice 1 --category 0 "$@" >"$d/out" 2>"$d/err"; echo $?; }
both_old() {
  cmp -s "$d/Rechnung.docx" "$d/vorher.docx" || fail "$1: the document changed"
  [ "$(record)" = "$before" ] || fail "$1: the record changed to $(record)"
  ! grep -q '^Rechnung gespeichert' "$d/out" || fail "$1: says it saved"
}

# Targets that are no invoice document: exit 2, the file byte for byte as it was.
while IFS='|' read -r name target want; do
  fresh
  eval "target=\"$target\""
  mkdir -p "$(dirname "$target")"
  case "$target" in *.zip) printf 'Notizen\n' >"$d/notiz.txt"; (cd "$d" && zip -q "$target" notiz.txt) ;; esac
  [ -e "$target" ] || printf 'Notizen\n' >"$target"
  cp "$target" "$d/target.vorher"
  rc="$(run --out "$target" "${inputs[@]}" --do ok)"
  [ "$rc" -eq 2 ] || fail "--out $name: exit $rc, not 2 ($(cat "$d/err"))"
  grep -qF -- "$want" "$d/err" || fail "--out $name: stderr lacks: $want ($(cat "$d/err"))"
  cmp -s "$target" "$d/target.vorher" || fail "--out $name: the file was written over"
  both_old "--out $name"
done <<'CASES'
the database|$d/kado.sqlite|Ziel ist die Datenbank:
the component registry|$XDG_CONFIG_HOME/KadoKomponenten/registry.txt|Ziel ist das Komponentenregister:
the settings store|$XDG_CONFIG_HOME/KadoVerwaltung/settings.ini|Ziel ist die Einstellungen:
a text file|$d/notizen.txt|Ziel ist kein Rechnungsdokument
a zip archive without a main document|$d/archiv.zip|Ziel ist kein Rechnungsdokument
CASES

# The record cannot be written: exit 1, both as they were, and the run says why.
while IFS='|' read -r name setup want; do
  fresh
  holder=""
  case "$setup" in
    trigger) sqlite3 "$d/kado.sqlite" "CREATE TRIGGER nein BEFORE UPDATE ON Rechnung BEGIN SELECT RAISE(ABORT, 'gesperrt vom Trigger'); END" ;;
    lock) printf 'BEGIN IMMEDIATE;\nUPDATE Version SET Zahlungsziel = Zahlungsziel;\n.shell sleep 8\nCOMMIT;\n' \
            | sqlite3 "$d/kado.sqlite" & holder=$!; sleep 1 ;;
    gone) sqlite3 "$d/kado.sqlite" "CREATE TRIGGER weg BEFORE UPDATE ON Rechnung BEGIN DELETE FROM Rechnung WHERE ID_Rechnungsnummer = 1; END" ;;
  esac
  rc="$(run "${inputs[@]}" --do ok)"
  [ -n "$holder" ] && wait "$holder"
  [ "$rc" -eq 1 ] || fail "$name: exit $rc, not 1 ($(cat "$d/err"))"
  grep -qF -- "$want" "$d/err" && grep -qF 'sind beide wie vor dem Lauf' "$d/err" || fail "$name: stderr: $(cat "$d/err")"
  ! grep -q 'ist eingetragen' "$d/err" || fail "$name: claims the invoice was entered"
  both_old "$name"
done <<'CASES'
a trigger refuses the update|trigger|Rechnung 1 nicht eingetragen: Fehler 3027
a write lock held for longer than 5 s|lock|von einem anderen Programm gesperrt (Fehler 3260
the record vanishes under the update|gone|Rechnung 1 nicht eingetragen: Fehler 3167
CASES

# A lock held while the run opens the database is a lock, not a broken file.
fresh
printf 'BEGIN EXCLUSIVE;\n.shell sleep 7\nCOMMIT;\n' | sqlite3 "$d/kado.sqlite" & holder=$!
# The run starts once the lock is held, however slowly the holder starts.
for _ in $(seq 50); do sqlite3 "$d/kado.sqlite" 'BEGIN IMMEDIATE; ROLLBACK;' 2>/dev/null || break; sleep 0.1; done
rc="$(run "${inputs[@]}" --do ok)"; wait "$holder"
[ "$rc" -ne 0 ] && grep -qF 'Fehler 3260' "$d/err" && ! grep -q 'Unrecognized database format' "$d/err" \
  || fail "lock at open: exit $rc: $(cat "$d/err")"
both_old "lock at open"

# Settings that would give a wrong invoice or a failed start: exit 2, the field named.
while IFS='|' read -r name sql want; do
  fresh
  sqlite3 "$d/kado.sqlite" "$sql" || fail "$name: setup"
  before="$(record)"
  rc="$(run "${inputs[@]}" --do ok)"
  [ "$rc" -eq 2 ] || fail "$name: exit $rc, not 2 ($(cat "$d/err"))"
  grep -qF -- "$want" "$d/err" || fail "$name: stderr lacks: $want ($(cat "$d/err"))"
  both_old "$name"
done <<'CASES'
negative rate|UPDATE TempDoc SET Mehrwertsteuersatz = -190|Steuersatz Mehrwertsteuersatz = -190 (Zehntelprozent) liegt nicht zwischen 0 und 100 %
absurd rate|UPDATE TempDoc SET Mehrwertsteuersatz = 99999|Steuersatz Mehrwertsteuersatz = 99999
null rate|UPDATE TempDoc SET MwStErmäßigt = NULL|Steuersatz MwStErmäßigt ist leer (NULL)
text rate|UPDATE TempDoc SET Mehrwertsteuer = 'neunzehn'|Steuersatz Mehrwertsteuer ist keine Zahl: "neunzehn"
null order|UPDATE TempDoc SET ID_Auftragsnummer = NULL|ID_Auftragsnummer ist leer (NULL)
missing column|ALTER TABLE Rechnung DROP COLUMN MehrwertsteuerFreierbetrag|es fehlt: Rechnung.MehrwertsteuerFreierbetrag
CASES

# A document.xml beyond the engine's limit is called too large.
fresh
mkdir "$d/x" && (cd "$d/x" && unzip -q ../Rechnung.docx && head -c 121634816 /dev/zero | tr '\0' ' ' >>word/document.xml \
  && zip -q -r ../gross.docx .) || fail "no large document made"
"$host" run --db "$d/kado.sqlite" --doc "$d/gross.docx" --category 0 --do ok >"$d/out" 2>"$d/err"; rc=$?
[ "$rc" -eq 2 ] && grep -qF 'Dokument zu groß zum Bearbeiten' "$d/err" || fail "large document: exit $rc: $(cat "$d/err")"

# Links as --doc and --out: the file they point to gets the invoice, the link stays a link.
fresh
mkdir "$d/ablage" && mv "$d/Rechnung.docx" "$d/ablage/RE-1.docx" && ln -s ablage/RE-1.docx "$d/Rechnung.docx"
ln -s "$d/ablage/neu.docx" "$d/neu.docx"
rc="$(run "${inputs[@]}" --do ok)"
[ "$rc" -eq 0 ] && [ -L "$d/Rechnung.docx" ] || fail "--doc link: exit $rc, link kept: $(ls -l "$d/Rechnung.docx")"
unzip -p "$d/ablage/RE-1.docx" word/document.xml | grep -q '1500,00' || fail "--doc link: the linked file lacks the fee"
rc="$(run --out "$d/neu.docx" "${inputs[@]}" --do ok)"
[ "$rc" -eq 0 ] && [ -L "$d/neu.docx" ] || fail "--out link: exit $rc"
unzip -p "$d/ablage/neu.docx" word/document.xml | grep -q '3000,00' || fail "--out link: the linked file lacks the totals"
[ "$(record)" = 300000/357000 ] || fail "--out link: record $(record)"

# Runs sharing one Verw.log at once: each counts the one entry it wrote itself.
fresh
for i in 1 2 3 4 5 6; do run --do 'choose optNeu' --do 'set mskAGPo=1' --do ok >/dev/null; done
pids=()
for i in 1 2 3 4 5 6; do
  "$host" run --db "$d/kado.sqlite" --doc "$d/Rechnung.docx" --category 0 --do 'choose optNeu' --do cancel \
    >"$d/out$i" 2>"$d/err$i" & pids+=($!)
done
for p in "${pids[@]}"; do wait "$p" || fail "a shared-log run failed"; done
for i in 1 2 3 4 5 6; do
  grep -qF "kado-host: Verw.log: 1 neue Einträge in $TMPDIR/Verw.log" "$d/err$i" || fail "shared log, run $i: $(cat "$d/err$i")"
done
[ "$(grep -c '^Ort  : ' "$TMPDIR/Verw.log")" -ge 6 ] || fail "the shared log lacks entries"
# Counts that would bill a negative Zerlegung fee: the dialog refuses OK, the run says why, exit 2.
fresh
rc="$("$host" run --db "$d/kado.sqlite" --doc "$d/Rechnung.docx" --invoice 1 --category 4 \
  --do 'set mskGesamt75=1' --do 'set mskBoden=5' --do ok >"$d/out" 2>"$d/err"; echo $?)"
[ "$rc" -eq 2 ] || fail "negative fee: exit $rc, not 2 ($(cat "$d/err"))"
grep -qF 'ok abgelehnt' "$d/err" && grep -qF 'gebildete Flurstücke sind aber nur 0' "$d/err" \
  || fail "negative fee: stderr lacks the refusal: $(cat "$d/err")"
both_old "negative fee"

echo "kado-host agreement cases: all checks passed"
