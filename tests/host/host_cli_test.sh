#!/usr/bin/env bash
# Demo database, a session start on it, and the refusals of bad arguments.
set -u
host="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/built_plugin.sh"
register_plugin "$dir/config" export

"$host" init "$dir" >/dev/null || fail "init exited $?"
[ -s "$dir/kado.sqlite" ] || fail "init wrote no database"
[ -s "$dir/Rechnung.docx" ] || fail "init wrote no invoice template"
out="$("$host" session --db "$dir/kado.sqlite" --user 1 --invoice 1 --category 0)" || fail "session exited $?"
for want in 'Zahlungsziel-Vorlage: Zahlbar bis <14> ohne Abzug.' \
            'Mehrwertsteuersatz      19 %' 'MwStErmäßigt            7 %' 'Rechnung                übergeben'; do
  grep -qF -- "$want" <<<"$out" || fail "session output lacks: $want"
done
"$host" init "$dir" >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ] || fail "init over an existing database exited $rc, not 2"
"$host" session --db "$dir/none.sqlite" --user 1 --invoice 1 --category 0 >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ] || fail "session on a missing file exited $rc, not 2"
# Batch mode refuses bad arguments and unreadable files before it starts anything.
run() { "$host" run --db "$dir/kado.sqlite" --doc "$dir/Rechnung.docx" --category 0 "$@" >/dev/null 2>&1; echo $?; }
[ "$(run --do 'klick x')" -eq 2 ] || fail "run with an unknown action did not exit 2"
[ "$(run --do ok --do 'set a=1')" -eq 2 ] || fail "run with an action after ok did not exit 2"
[ "$(run --invoice 99)" -eq 2 ] || fail "run with a missing invoice did not exit 2"
[ "$(run --do 'cursor 5')" -eq 2 ] || fail "run with a cursor in a missing table did not exit 2"
printf 'no zip' >"$dir/bad.docx"
"$host" run --db "$dir/kado.sqlite" --doc "$dir/bad.docx" --category 0 >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ] || fail "run on an unreadable document exited $rc, not 2"
"$host" run --db "$dir/kado.sqlite" --doc "$dir/none.docx" --category 0 >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ] || fail "run on a missing document exited $rc, not 2"
"$host" run --help | grep -qF -- '--do' || fail "run --help does not list --do"

# CLI11's own texts come out German: the help's headings and the parse failures.
english='Usage|Options|OPTIONS|REQUIRED|SUBCOMMAND|Positionals|is required|not expected|Print this help|Run with'
for topic in "--help" "run --help" "init --help" "help session"; do
  out="$("$host" $topic 2>&1)" || fail "$topic exited $?"
  ! grep -qE "$english" <<<"$out" || fail "$topic is English: $(grep -E "$english" <<<"$out")"
  grep -q '^Aufruf: ' <<<"$out" || fail "$topic has no German usage line"
done
"$host" run --help | grep -qF -- '--db TEXT (Pflicht)' || fail "run --help: --db not marked (Pflicht)"
"$host" --help | grep -q '^Befehle:' || fail "--help has no heading Befehle"
while IFS='|' read -r args want; do
  eval "set -- $args"
  err="$("$host" "$@" 2>&1 >/dev/null)"; rc=$?
  [ "$rc" -eq 2 ] || fail "$args: exit $rc, not 2"
  [ "$err" = "kado-host: Fehler in den Argumenten: $want" ] || fail "$args: $err"
done <<'CASES'
session --user 1|--db fehlt
session --db x.sqlite überzählig|unerwartetes Argument: überzählig
init "$dir/neu" --invoices 0|--invoices: "0" liegt nicht im Bereich 1 bis 100000
session --db x.sqlite --user eins|--user: "eins" ist keine gültige Angabe
session --db|--db ohne Wert
run --strict=ja --db x --doc y --category 0|--strict: "ja" ist keine gültige Angabe
CASES

long="$(head -c 100000 /dev/zero | tr '\0' a)"
err="$("$host" session --db x.sqlite "$long" 2>&1 >/dev/null)"; rc=$?
[ "$rc" -eq 2 ] && grep -q '^kado-host: Fehler in den Argumenten: unerwartetes Argument: aaa.* ([0-9]* Bytes)$' <<<"$err" \
  || fail "a long argument: exit $rc: ${err:0:200}"

# init makes the last folder of its path only.
"$host" init "$dir/nope/x/y" >/dev/null 2>"$dir/err"; rc=$?
[ "$rc" -eq 2 ] || fail "init into a missing parent exited $rc, not 2"
[ ! -e "$dir/nope" ] || fail "init made the missing parent folders"
grep -qF "den Ordner $dir/nope/x gibt es nicht" "$dir/err" || fail "init into a missing parent: $(cat "$dir/err")"
"$host" init "$dir/neu/" >/dev/null || fail "init into a new folder exited $?"
[ -s "$dir/neu/kado.sqlite" ] || fail "init into a new folder wrote no database"
"$host" init "$dir/kado.sqlite" >/dev/null 2>"$dir/err"; rc=$?
[ "$rc" -eq 2 ] && grep -qF "ist kein Ordner" "$dir/err" || fail "init onto a file: exit $rc: $(cat "$dir/err")"
echo "kado-host: all checks passed"
