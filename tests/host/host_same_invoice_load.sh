#!/usr/bin/env bash
# PROCS kado-host runs confirm the same invoice at once, saving it in place,
# ROUNDS times over, on SQLite and (with KADO_TEST_PG_URI) on the server.
# Odd rounds save in place, even rounds each run to a file of its own. Checked
# per run: an exit-0 run's document shows the amount due it entered (own
# files); a run that did not exit 0 says that it entered and saved nothing,
# and leaves no file. Checked per round: the document saved in place shows
# the amount due the record holds.
# Prints the counts.  Usage: host_same_invoice_load.sh HOST [PROCS] [ROUNDS]
set -u
host="$1"
procs="${2:-8}"
rounds="${3:-20}"
root="$(mktemp -d)"
schema="kado_same$$"
psql="$(command -v psql || ls /usr/lib/postgresql/*/bin/psql 2>/dev/null | tail -1)"
cleanup() {
  [ -n "${KADO_TEST_PG_URI:-}" ] && "$psql" -X -q "$KADO_TEST_PG_URI" -c "DROP SCHEMA IF EXISTS $schema CASCADE" >/dev/null 2>&1
  rm -rf "$root"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/built_plugin.sh"
register_plugin "$root/config" export
export QT_QPA_PLATFORM=offscreen

# The amount due in a saved invoice, in cents; "-" without a totals table.
gross() {
  unzip -p "$1" word/document.xml | sed 's/<[^>]*>/ /g' | grep -o 'Rechnungsbetrag[^€]*€' | tail -1 \
    | grep -o '[0-9.]*,[0-9][0-9]' | tr -d '.,' | sed 's/^0*//; s/^$/0/' || echo -
}

load() {
  local name="$1" db="$2" d="$3"
  local wins=0 lost=0 other=0 checked=0
  for ((r = 1; r <= rounds; r++)); do
    local pids=() out=()
    for ((p = 1; p <= procs; p++)); do
      if ((r % 2 == 0)); then out=(--out "$d/own$p.docx"); rm -f "$d/own$p.docx"; else out=(); fi
      TMPDIR="$d/tmp$p" "$host" run --db "$db" --doc "$d/Rechnung.docx" "${out[@]}" --invoice 1 --category 0 \
        --do "set mskAGPo=$p" --do 'set mskAGP=1' --do ok >"$d/out$p" 2>"$d/err$p" & pids+=($!)
    done
    for ((p = 1; p <= procs; p++)); do
      wait "${pids[$((p - 1))]}"; local rc=$?
      if [ "$rc" -eq 0 ]; then
        wins=$((wins + 1))
        grep -qF 'Rechnung gespeichert' "$d/out$p" || fail "$name round $r run $p: exit 0 without a save"
        local b; b="$(grep -o 'Brutto [0-9.]*' "$d/out$p" | head -1 | cut -d' ' -f2)"
        [ -n "$b" ] || fail "$name round $r run $p: no figures reported"
        if ((r % 2 == 0)); then
          [ "$(gross "$d/own$p.docx")" = "$b" ] || fail "$name round $r run $p: its document shows $(gross "$d/own$p.docx"), it entered $b"
          checked=$((checked + 1))
        fi
      else
        grep -qE 'sind beide wie vor dem Lauf' "$d/err$p" || fail "$name round $r run $p: exit $rc not told: $(cat "$d/err$p")"
        ((r % 2 == 0)) && [ -e "$d/own$p.docx" ] && fail "$name round $r run $p: a loser's document was saved"
        if grep -q 'verloren' "$d/err$p"; then lost=$((lost + 1)); else other=$((other + 1)); fi
      fi
    done
    local recorded
    if [ -n "${pg:-}" ]; then
      recorded="$("$psql" -X -q -A -t "$db" -c "SELECT CAST(brutto AS BIGINT) FROM rechnung WHERE id_rechnungsnummer = 1")"
    else
      recorded="$(sqlite3 "$db" 'SELECT CAST(Brutto AS INTEGER) FROM Rechnung WHERE ID_Rechnungsnummer = 1')"
    fi
    local shown; shown="$(gross "$d/Rechnung.docx")"
    ((r % 2 == 0)) || [ "$shown" = "$recorded" ] || fail "$name round $r: the document shows $shown, the record holds $recorded"
    ls -A "$d" | grep -q 'kado-journal\|kado-neu\|kado-alt' && fail "$name round $r: save files left: $(ls -A "$d")"
  done
  echo "$name: $((procs * rounds)) runs: $wins exit 0 (of them $checked with a file of their own, each showing" \
    "what it entered); $lost told they lost the conflict, $other told of another failure; the in-place document" \
    "equalled the record after each of the $(((rounds + 1) / 2)) rounds in place"
}

"$host" init "$root/lite" >/dev/null || fail "init"
mkdir -p "$root"/lite/tmp{1..64}
load SQLite "$root/lite/kado.sqlite" "$root/lite"
if [ -n "${KADO_TEST_PG_URI:-}" ]; then
  pg=1
  "$psql" -X -q "$KADO_TEST_PG_URI" -c "CREATE SCHEMA $schema" || fail "no schema"
  case "$KADO_TEST_PG_URI" in
    *\?*) uri="$KADO_TEST_PG_URI&options=-csearch_path%3D$schema" ;;
    *) uri="$KADO_TEST_PG_URI?options=-csearch_path%3D$schema" ;;
  esac
  "$host" init "$root/pg" --db "$uri" >/dev/null || fail "init --db"
  mkdir -p "$root"/pg/tmp{1..64}
  load PostgreSQL "$uri" "$root/pg"
fi
