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
echo "kado-host: all checks passed"
